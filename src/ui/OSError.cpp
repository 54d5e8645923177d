// Operating-system errors as exceptions of the one tree.
#include <windows.h>

#include <cstdio>

#include "ui/Exception.h"

namespace ui {

std::string SysErrorMessage(unsigned long errorCode) {
    char* text = nullptr;
    const DWORD len = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                     nullptr, errorCode, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string s;
    if (len != 0 && text != nullptr) s.assign(text, len);
    if (text != nullptr) LocalFree(text);
    while (!s.empty() && (static_cast<unsigned char>(s.back()) <= ' ' || s.back() == '.')) s.pop_back();
    return s;
}

void RaiseLastOSError() { RaiseLastOSError(GetLastError()); }

void RaiseLastOSError(unsigned long errorCode) {
    if (errorCode == 0) throw EOSError("A call to an OS function failed", 0);
    char head[64];
    std::snprintf(head, sizeof head, "System Error.  Code: %lu.\r\n", errorCode);
    throw EOSError(head + SysErrorMessage(errorCode), errorCode);
}

void Win32Check(int result) {
    if (!result) RaiseLastOSError(GetLastError());
}

}  // namespace ui
