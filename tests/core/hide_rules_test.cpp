// Which windows the do-not-hide list keeps and which one the bring-to-top
// entry means.
#include <gtest/gtest.h>

#include "core/HideRules.h"

using namespace core;

namespace {
TExcludeEntry Entry(const std::string& title, const std::string& path, uint8_t all) {
    TExcludeEntry e;
    e.SetTitle(title);
    e.SetPath(path);
    e.AllWindows = all;
    return e;
}
}  // namespace

TEST(HideRules, EntryKeepsByExactTitleOrByProgramFileInAnyCase) {
    struct Case {
        TExcludeEntry entry;
        std::string title, exe;
        bool kept;
    } cases[] = {
        {Entry("Notes", "C:\\Apps\\notes.exe", 0), "Notes", "C:\\Other\\x.exe", true},
        {Entry("Notes", "C:\\Apps\\notes.exe", 0), "notes", "C:\\Apps\\notes.exe", false},
        {Entry("Notes", "C:\\Apps\\notes.exe", 0), "Other", "C:\\Apps\\notes.exe", false},
        {Entry("Notes", "C:\\Apps\\notes.exe", 1), "Other", "D:\\X\\NOTES.EXE", true},
        {Entry("", "C:\\Apps\\notes.exe", 2), "", "c:\\apps\\Notes.Exe", true},
        {Entry("", "", 1), "Anything", "C:\\a.exe", false},  // an empty file name keeps nothing
        {Entry("", "C:\\Apps\\", 1), "Anything", "C:\\Apps\\a.exe", false},
        {Entry("", "notes.exe", 1), "x", "", false},
    };
    for (auto& c : cases)
        EXPECT_EQ(EntryKeepsWindow(c.entry, c.title, c.exe), c.kept)
            << "entry '" << c.entry.Title() << "' / '" << c.entry.Path() << "' all=" << int(c.entry.AllWindows)
            << " window '" << c.title << "' / '" << c.exe << "'";
}

TEST(HideRules, FirstKeepingEntryWinsAndTwoWindowsOfOneTitleAreBothKept) {
    std::vector<TExcludeEntry> list = {Entry("A", "a.exe", 0), Entry("B", "b.exe", 1), Entry("B", "c.exe", 0)};
    EXPECT_EQ(FindKeepingEntry(list, "B", "x.exe"), 1);
    EXPECT_EQ(FindKeepingEntry(list, "B", "y.exe"), 1);
    EXPECT_EQ(FindKeepingEntry(list, "Z", "C:\\B.EXE"), 1);
    EXPECT_EQ(FindKeepingEntry(list, "Z", "z.exe"), -1);
    EXPECT_EQ(FindKeepingEntry({}, "A", "a.exe"), -1);
}

TEST(HideRules, BringToTopMatchesTitleFirstThenPathExactly) {
    std::vector<TListedWindow> w = {{"Editor", "C:\\e.exe"}, {"Mail", "C:\\m.exe"}, {"", "C:\\q.exe"}};
    EXPECT_EQ(FindBringToTopWindow(Entry("Mail", "C:\\e.exe", 0), w), 1) << "title before path";
    EXPECT_EQ(FindBringToTopWindow(Entry("Other", "C:\\e.exe", 0), w), 0);
    EXPECT_EQ(FindBringToTopWindow(Entry("Other", "c:\\E.EXE", 0), w), -1) << "path match is case-sensitive";
    EXPECT_EQ(FindBringToTopWindow(Entry("", "C:\\none.exe", 0), w), 2) << "an empty title matches an untitled window";
}

TEST(HideRules, RecordTextsAreCutTo255Characters) {
    TExcludeEntry e;
    e.SetTitle(std::string(300, 't'));
    e.SetPath(std::string(256, 'p'));
    EXPECT_EQ(e.Title().size(), 255u);
    EXPECT_EQ(e.Path().size(), 255u);
    EXPECT_EQ(sizeof(TExcludeEntry), 513u);
}
