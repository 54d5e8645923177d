// libFuzzer target for the PNG reader. Any input must either decode or
// raise one of the codec's exceptions, with no sanitizer report. What
// decodes must also survive a trip through the writer and back unchanged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include <vector>

#include "tbx/ByteStream.h"
#include "tbx/Crc32.h"
#include "tbx/PngReader.h"
#include "tbx/PngWriter.h"
#include "tbx/TbxErrors.h"

namespace {

// Larger images are only decoded: writing them back would slow the run.
constexpr std::uint64_t MaxRoundTripPixels = 1 << 16;

void ExpectRoundTrip(const tbx::TPNGReader& reader) {
    const auto pixels = reader.GetPixels();
    tbx::TPNGWriter writer(static_cast<int>(reader.Width()), static_cast<int>(reader.Height()),
                           static_cast<std::ptrdiff_t>(reader.Width()), pixels.data());
    tbx::TMemoryByteStream written;
    writer.SaveToStream(written);

    tbx::TConstByteStream input(written.Bytes());
    tbx::TPNGReader again;
    again.LoadFromStream(input);  // raising here is a finding too
    const auto back = again.GetPixels();
    if (again.Width() != reader.Width() || again.Height() != reader.Height() ||
        !std::equal(back.begin(), back.end(), pixels.begin(), pixels.end()))
        std::abort();
}

void Decode(std::span<const std::uint8_t> bytes) {
    tbx::TConstByteStream stream(bytes);
    tbx::TPNGReader reader;
    try {
        reader.LoadFromStream(stream);
    } catch (const tbx::Exception&) {
        return;
    }
    if (reader.Width() != 0 && std::uint64_t(reader.Width()) * reader.Height() <= MaxRoundTripPixels)
        ExpectRoundTrip(reader);
}

// A mutated chunk almost never keeps a valid CRC, which would stop nearly
// every input at the first check. A copy with every CRC put right lets the
// fuzzer reach the code behind it.
std::vector<std::uint8_t> WithValidCrcs(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    for (std::size_t at = 8; size >= 12 && at <= size - 12;) {
        const std::uint32_t length = std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 |
                                     std::uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
        if (length > size - 12 - at) break;
        const std::uint32_t crc = tbx::UpdateCrc32(0, &bytes[at + 4], 4 + std::size_t(length));
        for (int k = 0; k < 4; ++k) bytes[at + 8 + length + k] = static_cast<std::uint8_t>(crc >> (24 - 8 * k));
        at += 12 + std::size_t(length);
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Decode(std::span<const std::uint8_t>(data, size));
    const std::vector<std::uint8_t> fixed = WithValidCrcs(data, size);
    if (!std::equal(fixed.begin(), fixed.end(), data, data + size)) Decode(fixed);
    return 0;
}
