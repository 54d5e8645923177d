#pragma once
// The program's two registry values under HKEY_CURRENT_USER: the
// application password and the autostart command in the user's Run key.
#include <cstdint>
#include <string>
#include <vector>

namespace core {

inline constexpr char PasswordKeyName[] = "Software\\Windows\\Cryptography";
inline constexpr char PasswordValueName[] = "10";
inline constexpr char AutoStartValueName[] = "VSK";
// The user's Run key; tests point it at a key of their own.
extern std::string AutoStartKeyName;

// PBKDF2 with HMAC-SHA-256, from the system's CNG library (bcrypt.dll).
// Raises ui::EOSError when the system cannot do it.
std::vector<uint8_t> DerivePasswordKey(const std::string& Password, const std::vector<uint8_t>& Salt,
                                       uint32_t Iterations);
// The stored form of a new password: a fresh random salt and
// PasswordIterations rounds (a few tenths of a second; the count is kept
// in each stored value, so it can grow later).
inline constexpr uint32_t PasswordIterations = 310000;
std::string HashPassword(const std::string& Password);
// Whether Typed is the password Stored holds: a hash is checked by deriving
// again; an older clear-text value must equal Typed exactly. A password
// longer than MaxPasswordLength raises ui::Exception (PasswordTooLongText),
// here and in HashPassword, before any derivation.
bool PasswordMatches(const std::string& Stored, const std::string& Typed);
bool IsPasswordHash(const std::string& Stored);

// The password value as read at start. A missing key or value is a readable
// empty password; anything else that fails (access, a value that is not a
// string, a value StoredPasswordProblem finds fault with) leaves Readable
// false and says why in Error.
struct TStoredPassword {
    bool Readable = true;
    std::string Value;
    std::string Error;
};
TStoredPassword ReadStoredPassword();
// Creates the key when missing. Raises ui::ERegistryException on failure.
void WriteStoredPassword(const std::string& Value);

// The program file's full path.
std::string ProgramPath();
// Whether the Run key holds the value "VSK" (what it holds is not read).
bool IsAutoStartEnabled();
// On: writes "VSK" = the quoted program path + " /q", creating the Run key
// when missing. Off: deletes the value. Raises ui::ERegistryException.
void SetAutoStart(bool Enable);

}  // namespace core
