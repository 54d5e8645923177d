#include "ui/Stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "TempFolder.h"
#include "ui/Exception.h"

using namespace ui;

namespace {

std::vector<uint8_t> Pattern(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + i / 251);
    return v;
}

std::string Contents(TCustomMemoryStream& s) {
    return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

template <class E> std::string MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return std::string("wrong exception: ") + e.what();
    }
    return "no exception";
}

}  // namespace

TEST(MemoryStream, WritesReadsAndSeeksLikeAFile) {
    TMemoryStream m;
    m.WriteBuffer("hello", 5);
    EXPECT_EQ(m.Position(), 5);
    EXPECT_EQ(m.Size(), 5);

    // Writing past the end extends the stream and fills the gap with zeros.
    EXPECT_EQ(m.Seek(2, soEnd), 7);
    m.WriteBuffer("!", 1);
    EXPECT_EQ(Contents(m), std::string("hello\0\0!", 8));

    EXPECT_EQ(m.Seek(-3, soCurrent), 5);
    EXPECT_EQ(m.Seek(-1, soBeginning), -1) << "a position before the start must be refused";
    EXPECT_EQ(m.Position(), 5) << "a refused seek must leave the position alone";

    m.SetPosition(1);
    char buf[16] = {};
    EXPECT_EQ(m.Read(buf, sizeof buf), 7) << "a read near the end returns what is left";
    EXPECT_EQ(m.Read(buf, sizeof buf), 0);

    m.SetSize(3);
    EXPECT_EQ(m.Position(), 3) << "shrinking must pull the position back to the new end";
    EXPECT_EQ(Contents(m), "hel");

    m.Clear();
    EXPECT_EQ(m.Size(), 0);
    EXPECT_EQ(m.Position(), 0);
}

TEST(Streams, ShortReadsAndWritesRaise) {
    TempFolder dir;
    const std::string file = dir.File("short.bin");
    {
        TFileStream f(file, fmCreate);
        f.WriteBuffer("abc", 3);
    }
    char buf[8];
    struct Case {
        const char* what;
        std::function<void()> op;
        std::string expected;
    };
    const Case cases[] = {
        {"memory read past the end",
         [&] {
             TMemoryStream m;
             m.WriteBuffer("ab", 2);
             m.SetPosition(0);
             m.ReadBuffer(buf, 3);
         },
         "Stream read error"},
        {"file read past the end",
         [&] {
             TFileStream f(file, fmOpenRead);
             f.ReadBuffer(buf, 4);
         },
         "Stream read error"},
        {"write to a file opened for reading",
         [&] {
             TFileStream f(file, fmOpenRead);
             f.WriteBuffer("x", 1);
         },
         "Stream write error"},
        {"copy of more than the source holds",
         [&] {
             TMemoryStream src, dst;
             src.WriteBuffer("ab", 2);
             src.SetPosition(0);
             dst.CopyFrom(&src, 3);
         },
         "Stream read error"},
    };
    for (const auto& c : cases) EXPECT_EQ(MessageOf<EStreamError>(c.op), c.expected) << c.what;
    EXPECT_NO_THROW({
        TMemoryStream m;
        m.ReadBuffer(buf, 0);
    }) << "an empty read is never short";
}

TEST(FileStream, RoundTripsThroughAFile) {
    TempFolder dir;
    const std::string file = dir.File("data.bin");
    const auto data = Pattern(200000);  // more than one copy chunk

    TMemoryStream out;
    out.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    out.SaveToFile(file);

    TMemoryStream in;
    in.LoadFromFile(file);
    ASSERT_EQ(in.Size(), static_cast<int64_t>(data.size()));
    EXPECT_EQ(std::memcmp(in.Memory(), data.data(), data.size()), 0) << "file content differs";

    {
        TFileStream f(file, fmOpenReadWrite);
        EXPECT_EQ(f.Size(), static_cast<int64_t>(data.size()));
        f.SetSize(10);
        EXPECT_EQ(f.Size(), 10);
        f.SetPosition(2);
        f.WriteBuffer("XY", 2);
        TMemoryStream copy;
        EXPECT_EQ(copy.CopyFrom(&f, 0), 10) << "count 0 copies the whole source from its start";
        EXPECT_EQ(std::memcmp(static_cast<uint8_t*>(copy.Memory()) + 2, "XY", 2), 0);
    }
    {
        TFileStream f(file, fmCreate);
        EXPECT_EQ(f.Size(), 0) << "fmCreate must empty an existing file";
    }
}

TEST(FileStream, CopyFromTakesCountBytesFromThePosition) {
    TMemoryStream src, dst;
    src.WriteBuffer("0123456789", 10);
    src.SetPosition(4);
    EXPECT_EQ(dst.CopyFrom(&src, 3), 3);
    EXPECT_EQ(Contents(dst), "456");
    EXPECT_EQ(src.Position(), 7);
}

TEST(FileStream, FailuresNameTheFileAndTheReason) {
    TempFolder dir;
    const std::string missing = dir.File("missing.bin");
    const std::string noFolder = dir.File("no-such-folder\\new.bin");

    const std::string open = MessageOf<EFOpenError>([&] { TFileStream f(missing, fmOpenRead); });
    const std::string openHead = "Cannot open file \"" + missing + "\". ";
    EXPECT_EQ(open.substr(0, openHead.size()), openHead) << open;
    EXPECT_GT(open.size(), openHead.size()) << "the system's reason is missing";

    const std::string create = MessageOf<EFCreateError>([&] { TFileStream f(noFolder, fmCreate); });
    const std::string createHead = "Cannot create file \"" + noFolder + "\". ";
    EXPECT_EQ(create.substr(0, createHead.size()), createHead) << create;
    EXPECT_GT(create.size(), createHead.size()) << "the system's reason is missing";
}

TEST(FileStream, ShareModesAreHonoured) {
    TempFolder dir;
    const std::string file = dir.File("shared.bin");
    { TFileStream f(file, fmCreate); }
    struct Case {
        unsigned first, second;
        bool secondOpens;
    };
    const Case cases[] = {
        {fmOpenRead | fmShareDenyWrite, fmOpenRead | fmShareDenyNone, true},
        {fmOpenRead | fmShareDenyWrite, fmOpenWrite | fmShareDenyNone, false},
        {fmOpenRead | fmShareExclusive, fmOpenRead | fmShareDenyNone, false},
        {fmOpenReadWrite | fmShareDenyNone, fmOpenReadWrite | fmShareDenyNone, true},
    };
    for (const auto& c : cases) {
        TFileStream first(file, c.first);
        bool opened = true;
        try {
            TFileStream second(file, c.second);
        } catch (const EFOpenError&) {
            opened = false;
        }
        EXPECT_EQ(opened, c.secondOpens) << "modes " << std::hex << c.first << " then " << c.second;
    }
}

TEST(ResourceStream, ReadsResourcesByNameAndId) {
    HINSTANCE self = GetModuleHandleA(nullptr);
    TResourceStream byName(self, "STREAMTEXT", MAKEINTRESOURCEA(10));
    EXPECT_EQ(Contents(byName), "Veskara resource\r\nsecond line");

    TResourceStream byId(self, 7, MAKEINTRESOURCEA(10));
    TMemoryStream copy;
    copy.LoadFromStream(&byId);
    EXPECT_EQ(Contents(copy), std::string("\x01\x02\x03\0\0", 5));

    EXPECT_EQ(MessageOf<EStreamError>([&] { byId.WriteBuffer("x", 1); }), "Can't write to a read-only resource stream");
    EXPECT_EQ(MessageOf<EResNotFound>([&] { TResourceStream s(self, "NOPE", MAKEINTRESOURCEA(10)); }),
              "Resource NOPE not found");
    EXPECT_EQ(MessageOf<EResNotFound>([&] { TResourceStream s(self, 99, MAKEINTRESOURCEA(10)); }),
              "Resource 99 not found");
}

TEST(OSError, CarriesTheLastErrorAndItsText) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    try {
        Win32Check(FALSE);
        FAIL() << "Win32Check(FALSE) did not raise";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode(), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(e.Message().rfind("System Error.  Code: 2.\r\n", 0), 0u) << e.Message();
        EXPECT_EQ(e.Message().substr(e.Message().find('\n') + 1), SysErrorMessage(ERROR_FILE_NOT_FOUND));
    }
    EXPECT_NO_THROW(Win32Check(TRUE));
    const std::string text = SysErrorMessage(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(text.empty());
    EXPECT_TRUE(text.back() != '\n' && text.back() != '.') << "the text must end a sentence of ours: " << text;
}
