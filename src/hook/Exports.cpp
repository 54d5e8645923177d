// The five exports of shook.dll (named in shook.def) and its entry point.
#include <windows.h>

#include <type_traits>

#include "hook/Hooks.h"
#include "hook/ShookApi.h"

extern "C" {

BOOL WINAPI StartWatching(int32_t Kind) { return hook::StartKind(Kind) ? TRUE : FALSE; }

BOOL WINAPI StopWatching(int32_t Kind) { return hook::StopKind(Kind) ? TRUE : FALSE; }

BOOL WINAPI StillWatching() { return hook::AnyKindWatched() ? TRUE : FALSE; }

void WINAPI StopAll() { hook::StopAllKinds(); }

void WINAPI SetReceiver(uint32_t Receiver) { hook::SetReceiverWindow(hook::ReceiverToHandle(Receiver)); }

BOOL WINAPI DllMain(HINSTANCE Instance, DWORD Reason, LPVOID Reserved) {
    if (Reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(Instance);
    // Freed while hooks are still set: the system would go on calling code
    // that is no longer mapped. At process exit (Reserved set) the system
    // removes them itself.
    if (Reason == DLL_PROCESS_DETACH && Reserved == nullptr) hook::DetachFromProcess();
    return TRUE;
}

}  // extern "C"

// The exports must have the types the program binds them with.
static_assert(std::is_same_v<decltype(&StartWatching), hook::TStartWatching>);
static_assert(std::is_same_v<decltype(&StopWatching), hook::TStopWatching>);
static_assert(std::is_same_v<decltype(&StillWatching), hook::TStillWatching>);
static_assert(std::is_same_v<decltype(&StopAll), hook::TStopAll>);
static_assert(std::is_same_v<decltype(&SetReceiver), hook::TSetReceiver>);
