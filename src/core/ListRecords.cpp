#include "core/ListRecords.h"

#include <cstring>

namespace core {

namespace {
// Field offsets of a record.
constexpr std::size_t TitleAt = 0;
constexpr std::size_t PathAt = 256;
constexpr std::size_t FlagAt = 512;
static_assert(ListRecordSize == FlagAt + 1);

void PutString(std::uint8_t* at, std::uint8_t len, const char* chars) {
    at[0] = len;
    std::memcpy(at + 1, chars, len);
}
}  // namespace

TExcludeEntry DecodeListRecord(const std::uint8_t* Record) {
    TExcludeEntry e;
    std::memcpy(&e, Record, ListRecordSize);
    return e;
}

std::vector<TExcludeEntry> DecodeListRecords(const std::uint8_t* Data, std::size_t Size) {
    std::vector<TExcludeEntry> out;
    const std::size_t count = Size / ListRecordSize;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) out.push_back(DecodeListRecord(Data + i * ListRecordSize));
    return out;
}

void EncodeListRecord(const TExcludeEntry& Entry, TListKind Kind, std::uint8_t* Record) {
    std::memset(Record, 0, ListRecordSize);
    PutString(Record + TitleAt, Entry.TitleLen, Entry.TitleChars);
    PutString(Record + PathAt, Entry.PathLen, Entry.PathChars);
    Record[FlagAt] = Kind == TListKind::DoNotHide && Entry.AllWindows != 0 ? 1 : 0;
}

std::vector<std::uint8_t> EncodeListRecords(const std::vector<TExcludeEntry>& Entries, TListKind Kind) {
    std::vector<std::uint8_t> out(Entries.size() * ListRecordSize);
    for (std::size_t i = 0; i < Entries.size(); ++i)
        EncodeListRecord(Entries[i], Kind, out.data() + i * ListRecordSize);
    return out;
}

}  // namespace core
