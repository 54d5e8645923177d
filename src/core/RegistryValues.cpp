#include "core/RegistryValues.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstdio>

#include "core/StoredValues.h"
#include "ui/Exception.h"

namespace core {

std::string AutoStartKeyName = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {

[[noreturn]] void CngFailed(const char* what, NTSTATUS status) {
    char text[160];
    std::snprintf(text, sizeof text, "The system could not %s (status 0x%08lX)", what,
                  static_cast<unsigned long>(status));
    throw ui::EOSError(text, static_cast<unsigned long>(status));
}

[[noreturn]] void RegistryFailed(const std::string& what, LONG rc) {
    throw ui::ERegistryException(what + ": " + ui::SysErrorMessage(static_cast<unsigned long>(rc)));
}

// A key opened or created under HKEY_CURRENT_USER, closed on every way out.
class TKey {
public:
    ~TKey() {
        if (h_) RegCloseKey(h_);
    }
    LONG Open(const std::string& name, REGSAM access) {
        return RegOpenKeyExA(HKEY_CURRENT_USER, name.c_str(), 0, access, &h_);
    }
    LONG Create(const std::string& name, REGSAM access) {
        return RegCreateKeyExA(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                               &h_, nullptr);
    }
    HKEY Get() const { return h_; }

private:
    HKEY h_ = nullptr;
};

void CheckLength(const std::string& password) {
    if (password.size() > MaxPasswordLength) throw ui::Exception(PasswordTooLongText);
}

void WriteString(HKEY key, const char* name, const std::string& value, const std::string& what) {
    const LONG rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>(value.size() + 1));
    if (rc != ERROR_SUCCESS) RegistryFailed(what, rc);
}

}  // namespace

std::vector<uint8_t> DerivePasswordKey(const std::string& Password, const std::vector<uint8_t>& Salt,
                                       uint32_t Iterations) {
    BCRYPT_ALG_HANDLE alg = nullptr;
    NTSTATUS st = BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA256_ALGORITHM, nullptr, BCRYPT_ALG_HANDLE_HMAC_FLAG);
    if (!BCRYPT_SUCCESS(st)) CngFailed("open its SHA-256 provider", st);
    std::vector<uint8_t> key(PasswordKeyBytes);
    std::string pw = Password;  // the call takes non-const buffers
    std::vector<uint8_t> salt = Salt;
    st = BCryptDeriveKeyPBKDF2(alg, reinterpret_cast<PUCHAR>(pw.data()), static_cast<ULONG>(pw.size()), salt.data(),
                               static_cast<ULONG>(salt.size()), Iterations, key.data(), static_cast<ULONG>(key.size()),
                               0);
    BCryptCloseAlgorithmProvider(alg, 0);
    SecureZeroMemory(pw.data(), pw.size());
    if (!BCRYPT_SUCCESS(st)) CngFailed("derive the password key", st);
    return key;
}

std::string HashPassword(const std::string& Password) {
    CheckLength(Password);
    TPasswordHash h;
    h.Iterations = PasswordIterations;
    h.Salt.resize(PasswordSaltBytes);
    const NTSTATUS st =
        BCryptGenRandom(nullptr, h.Salt.data(), static_cast<ULONG>(h.Salt.size()), BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (!BCRYPT_SUCCESS(st)) CngFailed("make a random salt", st);
    h.Key = DerivePasswordKey(Password, h.Salt, h.Iterations);
    return FormatPasswordHash(h);
}

bool PasswordMatches(const std::string& Stored, const std::string& Typed) {
    CheckLength(Typed);
    if (auto h = ParsePasswordHash(Stored)) return SameBytes(DerivePasswordKey(Typed, h->Salt, h->Iterations), h->Key);
    return Stored == Typed;
}

bool IsPasswordHash(const std::string& Stored) { return ParsePasswordHash(Stored).has_value(); }

TStoredPassword ReadStoredPassword() {
    TStoredPassword r;
    TKey key;
    LONG rc = key.Open(PasswordKeyName, KEY_QUERY_VALUE);
    if (rc == ERROR_FILE_NOT_FOUND) return r;
    auto fail = [&](const std::string& why) {
        r.Readable = false;
        r.Error = why;
        return r;
    };
    if (rc != ERROR_SUCCESS) return fail(ui::SysErrorMessage(static_cast<unsigned long>(rc)));
    DWORD type = 0, size = 0;
    rc = RegQueryValueExA(key.Get(), PasswordValueName, nullptr, &type, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND) return r;
    std::string buf;
    // Ask again while the value grows between the size query and the read.
    while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) return fail("the value is not a string");
        buf.assign(size, '\0');
        rc = RegQueryValueExA(key.Get(), PasswordValueName, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size);
        if (rc == ERROR_SUCCESS) break;
    }
    if (rc != ERROR_SUCCESS) return fail(ui::SysErrorMessage(static_cast<unsigned long>(rc)));
    if (type != REG_SZ && type != REG_EXPAND_SZ) return fail("the value is not a string");
    buf.resize(size);
    const size_t nul = buf.find('\0');
    if (nul != std::string::npos) buf.resize(nul);
    if (std::string why = StoredPasswordProblem(buf); !why.empty()) return fail(why);
    r.Value = std::move(buf);
    return r;
}

void WriteStoredPassword(const std::string& Value) {
    TKey key;
    const LONG rc = key.Create(PasswordKeyName, KEY_SET_VALUE);
    if (rc != ERROR_SUCCESS) RegistryFailed("Unable to open the password key", rc);
    WriteString(key.Get(), PasswordValueName, Value, "Unable to write the password");
}

std::string ProgramPath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) ui::RaiseLastOSError();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool IsAutoStartEnabled() {
    TKey key;
    if (key.Open(AutoStartKeyName, KEY_QUERY_VALUE) != ERROR_SUCCESS) return false;
    return RegQueryValueExA(key.Get(), AutoStartValueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void SetAutoStart(bool Enable) {
    TKey key;
    const LONG rc = key.Create(AutoStartKeyName, KEY_SET_VALUE | KEY_QUERY_VALUE);
    if (rc != ERROR_SUCCESS) RegistryFailed("Unable to open the key of the programs started with Windows", rc);
    if (Enable) {
        WriteString(key.Get(), AutoStartValueName, AutoStartCommand(ProgramPath()),
                    "Unable to set the automatic start");
        return;
    }
    const LONG del = RegDeleteValueA(key.Get(), AutoStartValueName);
    if (del != ERROR_SUCCESS && del != ERROR_FILE_NOT_FOUND)
        RegistryFailed("Unable to remove the automatic start", del);
}

}  // namespace core
