#pragma once
// A component a test makes, freed however the test ends: an ASSERT_ that
// returns early would otherwise leave its windows (or the hook library it
// loaded) to the tests after it.
#include <utility>

#include "ui/Component.h"

namespace vsk::test {

template <class T> class Owned {
public:
    explicit Owned(T* c = nullptr) : c_(c) {}
    ~Owned() { Free(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    T* operator->() const { return c_; }
    // Handed to the code under test, which borrows it.
    operator T*() const { return c_; }
    // Frees it now, for a test that looks at what freeing does.
    void Free() { ui::TComponent::Free(std::exchange(c_, nullptr)); }

private:
    T* c_;
};

}  // namespace vsk::test
