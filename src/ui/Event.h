#pragma once
// Method pointers: an object and one of its member functions, comparable, so
// code can save a handler, put another in its place, put the first back and
// ask whether a handler is a given one.
#include <cstring>
#include <type_traits>
#include <utility>

namespace ui {

template <class Sig> class Event;

template <class R, class... A> class Event<R(A...)> {
public:
    Event() = default;
    Event(std::nullptr_t) {}

    template <class T, class B> Event(T* obj, R (B::*method)(A...)) {
        static_assert(std::is_base_of_v<B, T>, "method must belong to the object's class");
        static_assert(sizeof(method) <= sizeof(method_), "member pointer too large");
        obj_ = static_cast<B*>(obj);
        std::memcpy(method_, &method, sizeof(method));
        call_ = &CallMethod<B>;
    }

    // A plain function in place of a method (tests, small glue).
    Event(R (*fn)(A...)) {
        if (!fn) return;
        static_assert(sizeof(fn) <= sizeof(method_));
        std::memcpy(method_, &fn, sizeof(fn));
        call_ = [](void*, const unsigned char* m, A... args) -> R {
            R (*f)(A...);
            std::memcpy(&f, m, sizeof(f));
            return f(std::forward<A>(args)...);
        };
    }

    explicit operator bool() const { return call_ != nullptr; }
    R operator()(A... args) const { return call_(obj_, method_, std::forward<A>(args)...); }

    // The object the method is called on (nullptr for a plain function).
    void* Data() const { return obj_; }

    friend bool operator==(const Event& a, const Event& b) {
        return a.call_ == b.call_ && a.obj_ == b.obj_ && std::memcmp(a.method_, b.method_, sizeof(a.method_)) == 0;
    }
    friend bool operator!=(const Event& a, const Event& b) { return !(a == b); }

private:
    template <class B> static R CallMethod(void* o, const unsigned char* m, A... args) {
        R (B::*mp)(A...);
        std::memcpy(&mp, m, sizeof(mp));
        return (static_cast<B*>(o)->*mp)(std::forward<A>(args)...);
    }

    void* obj_ = nullptr;
    R (*call_)(void*, const unsigned char*, A...) = nullptr;
    unsigned char method_[2 * sizeof(void*)] = {};
};

template <class T, class B, class R, class... A> Event<R(A...)> MakeEvent(T* obj, R (B::*method)(A...)) {
    return Event<R(A...)>(obj, method);
}

}  // namespace ui
