// The list files' records: what loads from any bytes, and what a save writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ListRecords.h"

using namespace core;

namespace {

using Bytes = std::vector<uint8_t>;

// One record as the program writes it.
Bytes Canonical(const std::string& title, const std::string& path, uint8_t flag) {
    Bytes r(ListRecordSize, 0);
    r[0] = static_cast<uint8_t>(title.size());
    std::copy(title.begin(), title.end(), r.begin() + 1);
    r[256] = static_cast<uint8_t>(path.size());
    std::copy(path.begin(), path.end(), r.begin() + 257);
    r[512] = flag;
    return r;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes RoundTrip(const Bytes& file, TListKind kind) {
    return EncodeListRecords(DecodeListRecords(file.data(), file.size()), kind);
}

}  // namespace

TEST(ListRecords, CanonicalFilesSaveByteIdentical) {
    const std::string longest(255, 'x');
    struct Case {
        const char* what;
        Bytes file;
        TListKind kind;
    } cases[] = {
        {"empty list", {}, TListKind::DoNotHide},
        {"do-not-hide, both flags",
         Join({Canonical("Notes", "C:\\Apps\\notes.exe", 1), Canonical("", "C:\\x.exe", 0),
               Canonical("Only title", "", 1)}),
         TListKind::DoNotHide},
        {"fields of 255 characters", Canonical(longest, longest, 1), TListKind::DoNotHide},
        {"bring-to-top", Canonical("Mail", "C:\\Mail\\mail.exe", 0), TListKind::BringToTop},
    };
    for (const Case& c : cases) EXPECT_EQ(RoundTrip(c.file, c.kind), c.file) << c.what;
}

TEST(ListRecords, SavesZeroPaddingAndAOneOrZeroLastByte) {
    // Stale bytes after each string and an odd flag, as memory or an older
    // save may have left them.
    Bytes dirty = Canonical("Ab", "C:\\p.exe", 2);
    for (size_t i = 3; i < 256; ++i) dirty[i] = 0xCC;
    for (size_t i = 257 + 8; i < 512; ++i) dirty[i] = static_cast<uint8_t>(i);
    struct Case {
        TListKind kind;
        uint8_t flag;
        uint8_t written;
    } cases[] = {
        {TListKind::DoNotHide, 2, 1},  {TListKind::DoNotHide, 0xFF, 1},  {TListKind::DoNotHide, 0, 0},
        {TListKind::BringToTop, 1, 0}, {TListKind::BringToTop, 0xCC, 0},
    };
    for (const Case& c : cases) {
        dirty[512] = c.flag;
        EXPECT_EQ(RoundTrip(dirty, c.kind), Canonical("Ab", "C:\\p.exe", c.written))
            << "flag " << int(c.flag) << (c.kind == TListKind::BringToTop ? " in the bring-to-top list" : "");
    }

    // An entry that held a longer text before keeps none of it on disk.
    TExcludeEntry e;
    e.SetTitle("A much longer title");
    e.SetTitle("Short");
    e.SetPath("C:\\longer\\path\\program.exe");
    e.SetPath("C:\\a.exe");
    Bytes one(ListRecordSize);
    EncodeListRecord(e, TListKind::DoNotHide, one.data());
    EXPECT_EQ(one, Canonical("Short", "C:\\a.exe", 0));
}

TEST(ListRecords, LoadsWholeRecordsAndIgnoresAShortTail) {
    const Bytes two = Join({Canonical("One", "a.exe", 1), Canonical("Two", "b.exe", 0)});
    struct Case {
        size_t size;
        size_t records;
    } cases[] = {{0, 0}, {1, 0}, {512, 0}, {513, 1}, {1025, 1}, {1026, 2}, {1030, 2}, {1538, 2}};
    for (const Case& c : cases) {
        Bytes file = two;
        file.resize(c.size, 0xAB);
        auto entries = DecodeListRecords(file.data(), file.size());
        ASSERT_EQ(entries.size(), c.records) << c.size << " bytes";
        if (c.records >= 1) {
            EXPECT_EQ(entries[0].Title(), "One");
        }
        if (c.records >= 2) {
            EXPECT_EQ(entries[1].Path(), "b.exe");
        }
    }
}

TEST(ListRecords, GarbageLoadsAsTheBytesSay) {
    Bytes nul(ListRecordSize, 0);
    nul[0] = 255;    // a title of 255 NULs
    nul[256] = 255;  // and a path of them
    nul[512] = 7;
    Bytes high(ListRecordSize, 0xFF);  // lengths 255 over high bytes, flag 255
    for (const Bytes& r : {nul, high}) {
        TExcludeEntry e = DecodeListRecord(r.data());
        EXPECT_EQ(e.Title(), std::string(255, static_cast<char>(r[1])));
        EXPECT_EQ(e.Path(), std::string(255, static_cast<char>(r[257])));
        EXPECT_NE(e.AllWindows, 0) << "any non-zero last byte reads as set";
        EXPECT_EQ(ExtractFileName(e.Path()), e.Path());
    }
}
