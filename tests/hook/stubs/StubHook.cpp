// A stand-in for shook.dll with no hooks behind it, for the tests of how
// the program treats a library that lacks an export. Each .def beside this
// file leaves one export out; the rest keep the watched kinds so that
// StillWatching answers as the real library would.
#include <windows.h>

#include <cstdint>

namespace {
uint32_t Kinds = 0;
uint32_t Receiver = 0;
}  // namespace

extern "C" {

BOOL WINAPI StartWatching(int32_t Kind) {
    if (Kind < 0 || Kind > 31) return FALSE;
    Kinds |= 1u << Kind;
    return TRUE;
}

BOOL WINAPI StopWatching(int32_t Kind) {
    if (Kind < 0 || Kind > 31) return FALSE;
    Kinds &= ~(1u << Kind);
    return TRUE;
}

BOOL WINAPI StillWatching() { return Kinds != 0; }

void WINAPI StopAll() { Kinds = 0; }

void WINAPI SetReceiver(uint32_t Wnd) { Receiver = Wnd; }

}  // extern "C"
