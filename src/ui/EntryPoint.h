#pragma once
// A function a library exports, bound by name at run time: for libraries
// loaded while the program runs and for entry points older systems lack.
#include <windows.h>

namespace ui {

// The export Name of Library as the function-pointer type F; nullptr when
// the library does not export it.
template <class F> F BindEntryPoint(HMODULE Library, const char* Name) {
    // Through a plain function pointer: FARPROC cast straight to another
    // function type draws -Wcast-function-type.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(Library, Name)));
}

}  // namespace ui
