#pragma once
// The text forms of the two registry values: the application password as a
// salted slow hash, and the autostart command line. No Win32 here.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace core {

// A password is stored as
//   "$vsk-pbkdf2-sha256$" <iterations> "$" <salt, hex> "$" <derived key, hex>
// A value without this exact form is a clear-text password from an older
// installation: it is still accepted, and replaced by a hash at the next save.
inline constexpr char PasswordHashMark[] = "$vsk-pbkdf2-sha256$";
inline constexpr size_t PasswordSaltBytes = 16;
inline constexpr size_t PasswordKeyBytes = 32;

struct TPasswordHash {
    uint32_t Iterations = 0;
    std::vector<uint8_t> Salt;
    std::vector<uint8_t> Key;
};

// The program writes a few hundred thousand rounds; a count far above that
// would hold the password prompt for minutes or hours, so a hash asking for
// more than this is not one the program checks.
inline constexpr uint32_t MaxPasswordIterations = 5000000;
// The longest password typed or stored: the key derivation's cost grows with
// the length.
inline constexpr size_t MaxPasswordLength = 256;
inline constexpr char PasswordTooLongText[] = "The password is too long: a password may have at most 256 characters";

std::string FormatPasswordHash(const TPasswordHash& Hash);
// The record when Stored is one (iterations from 1 to MaxPasswordIterations,
// salt and key of their sizes, lowercase or uppercase hex); nullopt for
// anything else.
std::optional<TPasswordHash> ParsePasswordHash(const std::string& Stored);
// Why the stored value cannot serve as the password ("" when it can): it
// begins as a hash but is not one the program checks, or it is a clear-text
// password longer than MaxPasswordLength.
std::string StoredPasswordProblem(const std::string& Stored);

// Compares without stopping at the first difference.
bool SameBytes(const std::vector<uint8_t>& A, const std::vector<uint8_t>& B);

// The autostart value: the program's path in double quotes, then " /q", so a
// path with blanks cannot start another program.
std::string AutoStartCommand(const std::string& ProgramPath);

}  // namespace core
