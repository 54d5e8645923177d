// libFuzzer target for the stored password value's reader. Any value must be
// read without a sanitizer report; a value read as a hash must be one the
// program checks and must write and read back the same; the value is usable
// exactly when it is such a hash, or, without the hash's mark, a clear-text
// password no longer than a password may be.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/StoredValues.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string stored(reinterpret_cast<const char*>(data), size);
    const auto hash = core::ParsePasswordHash(stored);
    if (hash) {
        Check(hash->Iterations >= 1 && hash->Iterations <= core::MaxPasswordIterations);
        Check(hash->Salt.size() == core::PasswordSaltBytes && hash->Key.size() == core::PasswordKeyBytes);
        const auto again = core::ParsePasswordHash(core::FormatPasswordHash(*hash));
        Check(again && again->Iterations == hash->Iterations && again->Salt == hash->Salt && again->Key == hash->Key);
    }
    const bool marked = stored.compare(0, std::strlen(core::PasswordHashMark), core::PasswordHashMark) == 0;
    const bool usable = marked ? hash.has_value() : stored.size() <= core::MaxPasswordLength;
    Check(core::StoredPasswordProblem(stored).empty() == usable);
    return 0;
}
