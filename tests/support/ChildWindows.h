#pragma once
// The child windows of a window (at any depth) that a test looks for.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vsk::test {

// Every child window of parent for which match holds, in the system's order.
inline std::vector<HWND> ChildWindows(HWND parent, const std::function<bool(HWND)>& match) {
    struct S {
        const std::function<bool(HWND)>* match;
        std::vector<HWND> found;
    } s{&match, {}};
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<S*>(lp);
            if ((*s->match)(h)) s->found.push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// The first of them, or null.
inline HWND ChildWindow(HWND parent, const std::function<bool(HWND)>& match) {
    const std::vector<HWND> all = ChildWindows(parent, match);
    return all.empty() ? nullptr : all.front();
}

inline std::string ClassOf(HWND h) {
    char c[64] = {};
    GetClassNameA(h, c, sizeof c);
    return c;
}

}  // namespace vsk::test
