#pragma once
// Reading and writing HKEY_CURRENT_USER values in tests.
#include <windows.h>

#include <string>
#include <utility>

namespace vsk::test {

// A value as (type, text); type 0 when the key or value is missing.
inline std::pair<DWORD, std::string> RegValue(const char* key, const char* name) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return {0, ""};
    char buf[1024] = {};
    DWORD type = 0, size = sizeof buf - 1;
    const LONG rc = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS) return {0, ""};
    return {type, std::string(buf)};
}

// Writes a string value, making the key when missing; false on failure.
inline bool SetRegString(const char* key, const char* name, const std::string& value) {
    HKEY k;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG rc = RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(k);
    return rc == ERROR_SUCCESS;
}

}  // namespace vsk::test
