// The real program and its list files: what it loads it uses and writes
// back unchanged, and a list file it cannot read it leaves alone.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <tuple>
#include <optional>
#include <string>
#include <vector>

#include "Veskara.h"
#include "support/DialogDriver.h"
#include "support/FixtureWindows.h"
#include "support/ListFileUtil.h"

using e2e::Veskara;
using vsk::test::WaitUntil;

namespace {

constexpr WORD kGrave = VK_OEM_3;  // the key named "`"

using vsk::test::Bytes;

std::string BinFile(const char* name) { return std::string(VSK_BIN_DIR) + "/" + name; }

std::optional<Bytes> Contents(const std::string& path) { return vsk::test::FileBytes(path); }

void Write(const std::string& path, const Bytes& bytes) { vsk::test::WriteFileBytes(path, bytes); }

void Put(const std::string& path, const std::optional<Bytes>& bytes) {
    if (bytes)
        Write(path, *bytes);
    else
        DeleteFileA(path.c_str());
}

Bytes Record(const std::string& title, const std::string& path, uint8_t flag) {
    return vsk::test::RecordBytes(title, path, flag);
}

// Clicks OK on the program's message box of that caption and text.
vsk::test::DialogReport AnswerOk(const Veskara& v, const char* caption, const char* text, DWORD timeoutMs) {
    return vsk::test::DriveDialog(
        {.caption = caption, .text = text, .click = "OK", .pid = v.Pid(), .timeoutMs = timeoutMs});
}

// Closes the main window as Terminate does and waits for the end.
DWORD CloseAndWait(const Veskara& v) {
    PostMessageA(v.MainWindow(), WM_CLOSE, 0, 0);
    return v.WaitExit(15000);
}

// The program's files beside it, put back as they were after each test so
// that the other tests of the program find what they expect.
class ListFilesTest : public ::testing::Test {
protected:
    const std::string exList = BinFile("ExList.Dat");
    const std::string bttList = BinFile("BttList.Dat");
    const std::string settings = BinFile("vsk.dat");

    void SetUp() override {
        for (const std::string& f : {exList, bttList, settings}) before_.push_back(Contents(f));
    }
    void TearDown() override {
        Put(exList, before_[0]);
        Put(bttList, before_[1]);
        Put(settings, before_[2]);
    }

private:
    std::vector<std::optional<Bytes>> before_;
};

}  // namespace

TEST_F(ListFilesTest, ListsSurviveARestartAndRuleTheHiding) {
    FixtureWindows w({"Keep Me|||", "Hide Me|||"});
    const Bytes ex = Record("Keep Me", "C:\\nowhere\\other.exe", 0);
    const Bytes btt = Record("Keep Me", "C:\\nowhere\\other.exe", 0);
    Write(exList, ex);
    Write(bttList, btt);
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        Veskara v("/q");
        ASSERT_TRUE(v.WaitMainWindow());
        ASSERT_TRUE(v.WaitIdle());
        e2e::PressChord({VK_CONTROL, kGrave});
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(w[1]); })) << "the hot key did not hide";
        EXPECT_TRUE(IsWindowVisible(w[0])) << "the do-not-hide entry was not honoured";
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == w[0]; }))
            << "the bring-to-top entry was not activated";
        e2e::PressChord({VK_CONTROL, kGrave});
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(w[1]) != FALSE; })) << "the hot key did not restore";
        EXPECT_EQ(CloseAndWait(v), 0u);
        EXPECT_EQ(Contents(exList), ex) << "the do-not-hide list came back changed";
        EXPECT_EQ(Contents(bttList), btt) << "the bring-to-top list came back changed";
        EXPECT_EQ(GetFileAttributesA((exList + ".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(ListFilesTest, UnreadableListLeavesEveryFileAsItWas) {
    Write(exList, Record("Locked", "C:\\locked.exe", 1));
    Write(bttList, Record("Fine", "C:\\fine.exe", 0));
    {
        // One run first, so that every file is in the program's own form.
        Veskara v("/q");
        ASSERT_TRUE(v.WaitMainWindow());
        ASSERT_TRUE(v.WaitIdle());
        ASSERT_EQ(CloseAndWait(v), 0u);
    }
    const auto ex = Contents(exList), btt = Contents(bttList), dat = Contents(settings);
    ASSERT_TRUE(ex && btt);

    // Another program holds the do-not-hide list and lets nobody read it.
    HANDLE lock = CreateFileA(exList.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Veskara v("/q");
    vsk::test::DialogReport report = AnswerOk(v, "Error", "ExList.Dat", 15000);
    EXPECT_TRUE(report.clicked) << "the unreadable file was not reported: " << vsk::test::Describe(report);
    CloseHandle(lock);  // readable again, but this run must not write it
    ASSERT_TRUE(v.WaitMainWindow());
    ASSERT_TRUE(v.WaitIdle());
    EXPECT_EQ(CloseAndWait(v), 0u);

    EXPECT_EQ(Contents(exList), ex) << "the unreadable list was saved over";
    EXPECT_EQ(Contents(bttList), btt);
    EXPECT_EQ(Contents(settings), dat) << "the settings file changed";
}

TEST_F(ListFilesTest, AHugeListLoadsItsFirstEntriesAtOnceAndStaysAsItWas) {
    // 100 MB: two entries, then empty records (a sparse file, quick to make).
    Bytes head = Record("First", "C:\\first.exe", 1);
    const Bytes second = Record("Second", "C:\\second.exe", 0);
    head.insert(head.end(), second.begin(), second.end());
    Write(exList, head);
    {
        HANDLE h = CreateFileA(exList.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        LARGE_INTEGER size{};
        size.QuadPart = 100LL << 20;
        ASSERT_TRUE(SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && SetEndOfFile(h));
        CloseHandle(h);
    }
    auto stamp = [&] {
        WIN32_FILE_ATTRIBUTE_DATA a{};
        GetFileAttributesExA(exList.c_str(), GetFileExInfoStandard, &a);
        return std::make_tuple(a.nFileSizeHigh, a.nFileSizeLow, a.ftLastWriteTime.dwHighDateTime,
                               a.ftLastWriteTime.dwLowDateTime);
    };
    const auto before = stamp();

    Veskara v("/q");
    // Loading the whole file took minutes.
    vsk::test::DialogReport report = AnswerOk(v, "Warning", "ExList.Dat", 20000);
    ASSERT_TRUE(report.clicked) << "no warning about the huge list: " << vsk::test::Describe(report);
    bool limitNamed = false;
    for (const std::string& t : report.texts)
        limitNamed = limitNamed || t.find("more than 1000 entries") != std::string::npos;
    EXPECT_TRUE(limitNamed) << vsk::test::Describe(report);
    ASSERT_TRUE(v.WaitMainWindow());
    ASSERT_TRUE(v.WaitIdle());
    EXPECT_EQ(CloseAndWait(v), 0u);
    EXPECT_TRUE(before == stamp()) << "the huge list was rewritten by a run that did not change it";
    std::ifstream in(exList, std::ios::binary);
    Bytes start(head.size());
    in.read(reinterpret_cast<char*>(start.data()), static_cast<std::streamsize>(start.size()));
    EXPECT_EQ(start, head) << "the first entries changed";
}
