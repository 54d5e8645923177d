// libFuzzer target for the record of hidden windows. Any bytes must decode
// without a sanitizer report, and what decodes is exactly what encoding it
// gives back. A record made from the bytes comes back whole, and with any
// one byte of it changed it is refused.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/HiddenRecord.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// Reads the fuzz bytes as the fields of a record, zeros once they run out.
struct TReader {
    const std::uint8_t* p;
    std::size_t left;
    template <class T> T Take() {
        T v{};
        const std::size_t n = left < sizeof v ? left : sizeof v;
        std::memcpy(&v, p, n);
        p += n;
        left -= n;
        return v;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    core::THiddenRecord read;
    if (core::DecodeHiddenRecord(data, size, read)) {
        const std::vector<std::uint8_t> again = core::EncodeHiddenRecord(read);
        Check(again.size() == size && std::memcmp(again.data(), data, size) == 0);
    }

    TReader in{data, size};
    core::THiddenRecord made;
    const auto flags = in.Take<std::uint8_t>();
    made.Volume = {(flags & 1) != 0,
                   (flags & 2) != 0,
                   (flags & 4) != 0,
                   {in.Take<std::uint16_t>(), in.Take<std::uint16_t>()},
                   in.Take<std::uint16_t>()};
    const std::size_t count = in.Take<std::uint8_t>() % 8;
    for (std::size_t i = 0; i < count; ++i)
        made.Windows.push_back({in.Take<std::uint64_t>(), in.Take<std::uint32_t>(), in.Take<std::uint32_t>(),
                                in.Take<std::int32_t>(), in.Take<std::uint64_t>()});
    std::vector<std::uint8_t> bytes = core::EncodeHiddenRecord(made);
    core::THiddenRecord back;
    Check(core::DecodeHiddenRecord(bytes.data(), bytes.size(), back));
    Check(back.Windows == made.Windows && back.Volume == made.Volume);

    const auto at = in.Take<std::uint32_t>() % bytes.size();
    bytes[at] ^= in.Take<std::uint8_t>() | 1;
    Check(!core::DecodeHiddenRecord(bytes.data(), bytes.size(), back));
    bytes.resize(at);
    Check(!core::DecodeHiddenRecord(bytes.data(), bytes.size(), back));
    return 0;
}
