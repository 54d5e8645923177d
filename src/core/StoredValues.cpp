#include "core/StoredValues.h"

#include <cstring>

#include "ui/HexDigit.h"

namespace core {

namespace {

std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    s.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

bool Unhex(const std::string& s, size_t bytes, std::vector<uint8_t>& out) {
    if (s.size() != bytes * 2) return false;
    out.assign(bytes, 0);
    for (size_t i = 0; i < bytes; ++i) {
        const int hi = ui::HexDigit(s[2 * i]), lo = ui::HexDigit(s[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        out[i] = static_cast<uint8_t>(hi << 4 | lo);
    }
    return true;
}

}  // namespace

std::string FormatPasswordHash(const TPasswordHash& Hash) {
    return PasswordHashMark + std::to_string(Hash.Iterations) + "$" + Hex(Hash.Salt) + "$" + Hex(Hash.Key);
}

std::optional<TPasswordHash> ParsePasswordHash(const std::string& Stored) {
    const size_t markLen = std::strlen(PasswordHashMark);
    if (Stored.compare(0, markLen, PasswordHashMark) != 0) return std::nullopt;
    const size_t d1 = Stored.find('$', markLen);
    if (d1 == std::string::npos) return std::nullopt;
    const size_t d2 = Stored.find('$', d1 + 1);
    if (d2 == std::string::npos) return std::nullopt;

    const std::string iter = Stored.substr(markLen, d1 - markLen);
    if (iter.empty() || iter.size() > 10) return std::nullopt;
    uint64_t n = 0;
    for (char c : iter) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<uint64_t>(c - '0');
    }
    if (n < 1 || n > MaxPasswordIterations) return std::nullopt;

    TPasswordHash h;
    h.Iterations = static_cast<uint32_t>(n);
    if (!Unhex(Stored.substr(d1 + 1, d2 - d1 - 1), PasswordSaltBytes, h.Salt)) return std::nullopt;
    if (!Unhex(Stored.substr(d2 + 1), PasswordKeyBytes, h.Key)) return std::nullopt;
    return h;
}

std::string StoredPasswordProblem(const std::string& Stored) {
    const size_t markLen = std::strlen(PasswordHashMark);
    if (Stored.compare(0, markLen, PasswordHashMark) == 0) {
        if (ParsePasswordHash(Stored)) return "";
        const size_t end = Stored.find('$', markLen);
        const std::string iter = Stored.substr(markLen, end == std::string::npos ? std::string::npos : end - markLen);
        bool digits = !iter.empty();
        uint64_t n = 0;
        for (char c : iter) {
            digits = digits && c >= '0' && c <= '9';
            if (digits && n <= MaxPasswordIterations) n = n * 10 + static_cast<uint64_t>(c - '0');
        }
        if (digits && n > MaxPasswordIterations)
            return "its hash asks for " + iter + " rounds, far more than this program uses";
        return "it is not a whole password hash";
    }
    if (Stored.size() > MaxPasswordLength)
        return "it is " + std::to_string(Stored.size()) + " characters long, more than a password may have";
    return "";
}

bool SameBytes(const std::vector<uint8_t>& A, const std::vector<uint8_t>& B) {
    if (A.size() != B.size()) return false;
    uint8_t diff = 0;
    for (size_t i = 0; i < A.size(); ++i) diff |= static_cast<uint8_t>(A[i] ^ B[i]);
    return diff == 0;
}

std::string AutoStartCommand(const std::string& ProgramPath) { return "\"" + ProgramPath + "\" /q"; }

}  // namespace core
