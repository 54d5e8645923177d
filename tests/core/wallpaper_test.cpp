// Removing the desktop wallpaper and putting it back: the record of the
// removed path, a second removal, a run that ended without restoring, a
// wallpaper the user chose meanwhile, a desktop object that cannot help,
// and what Wine's own desktop object does.
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>
#include <shlobj.h>

#include <string>

#include "core/Wallpaper.h"
#include "support/FakeWallpaper.h"

using vsk::test::FakeWallpaper;
using vsk::test::WallpaperRecordScope;

namespace {

// Outside the ANSI code page, so a narrow copy anywhere would spoil it.
const std::wstring kBeach = L"C:\\Pictures\\Str\u00e6nd \u6d77.bmp";
const std::wstring kCity = L"C:\\Pictures\\City.bmp";
const std::wstring kNone = L"<none>";

}  // namespace

TEST(Wallpaper, RemovingRecordsFirstAndDoesNothingWhenItCannot) {
    struct Case {
        const char* what;
        std::wstring now;     // the wallpaper before the click
        std::wstring record;  // left before the click (kNone: none)
        bool creatable, readable, settable;
        std::wstring after, recordAfter;
    };
    const Case cases[] = {
        {"a wallpaper shows", kBeach, kNone, true, true, true, L"", kBeach},
        {"no wallpaper", L"", kNone, true, true, true, L"", kNone},
        {"ours is away", L"", kBeach, true, true, true, L"", kBeach},
        {"the user chose another while ours was away", kCity, kBeach, true, true, true, L"", kCity},
        {"no desktop object", kBeach, kNone, false, true, true, kBeach, kNone},
        {"the wallpaper cannot be read", kBeach, kNone, true, false, true, kBeach, kNone},
        {"the removal fails", kBeach, kNone, true, true, false, kBeach, kBeach},
    };
    for (const Case& c : cases) {
        FakeWallpaper desk(c.now);
        if (c.record != kNone) {
            ASSERT_TRUE(FakeWallpaper::Leave(c.record));
        }
        desk.creatable = c.creatable;
        desk.readable = c.readable;
        desk.settable = c.settable;
        core::HideWallpaper();
        EXPECT_EQ(desk.current, c.after) << c.what;
        EXPECT_EQ(FakeWallpaper::Record(), c.recordAfter) << c.what;
    }
}

TEST(Wallpaper, TheNextStartPutsBackWhatARunLeftRemoved) {
    struct Case {
        const char* what;
        std::wstring now;
        bool creatable, readable, settable;
        std::wstring after;
        bool recordKept;  // for the next try
    };
    const Case cases[] = {
        {"left removed", L"", true, true, true, kBeach, false},
        {"the user chose another meanwhile", kCity, true, true, true, kCity, false},
        {"no desktop object", L"", false, true, true, L"", true},
        {"the wallpaper cannot be read", L"", true, false, true, L"", true},
        {"it cannot be set", L"", true, true, false, L"", true},
    };
    for (const Case& c : cases) {
        FakeWallpaper desk(c.now);
        ASSERT_TRUE(FakeWallpaper::Leave(kBeach));
        desk.creatable = c.creatable;
        desk.readable = c.readable;
        desk.settable = c.settable;
        core::RestoreWallpaper();
        EXPECT_EQ(desk.current, c.after) << c.what;
        EXPECT_EQ(FakeWallpaper::Record() != kNone, c.recordKept) << c.what;
        if (c.recordKept) {
            // The next start can.
            desk.creatable = desk.readable = desk.settable = true;
            core::RestoreWallpaper();
            EXPECT_EQ(desk.current, kBeach) << c.what << ", tried again";
            EXPECT_EQ(FakeWallpaper::Record(), kNone) << c.what << ", tried again";
        }
    }
}

TEST(Wallpaper, ARecordThatIsNoPathIsDroppedWithoutATouch) {
    FakeWallpaper desk(L"");
    const DWORD number = 7;
    ASSERT_TRUE(FakeWallpaper::Leave(REG_DWORD, &number, sizeof number));
    core::RestoreWallpaper();
    EXPECT_TRUE(desk.sets.empty());
    std::wstring path;
    EXPECT_FALSE(core::ReadRemovedWallpaper(path));
    HKEY k;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, core::WallpaperKeyName.c_str(), 0, KEY_QUERY_VALUE, &k), ERROR_SUCCESS);
    EXPECT_NE(RegQueryValueExA(k, core::WallpaperValueName, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS)
        << "the unusable record was kept";
    RegCloseKey(k);

    // A path stored without its terminator reads whole.
    const std::wstring bare = L"C:\\x.bmp";
    ASSERT_TRUE(FakeWallpaper::Leave(REG_SZ, bare.c_str(), static_cast<DWORD>(bare.size() * sizeof(wchar_t))));
    core::RestoreWallpaper();
    EXPECT_EQ(desk.current, bare);
}

TEST(WineDesktop, TheShellsObjectThatCannotReadTheWallpaperLeavesEverythingAsItIs) {
    WallpaperRecordScope record;
    IActiveDesktop* desktop = nullptr;
    const HRESULT made = CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                                          reinterpret_cast<void**>(&desktop));
    ASSERT_TRUE(SUCCEEDED(made) && desktop) << "the desktop object could not be made: " << std::hex << made;
    wchar_t now[260] = {};
    const HRESULT read = desktop->GetWallpaper(now, 260, 0);
    desktop->Release();
    // A test must not change a real desktop.
    if (SUCCEEDED(read)) GTEST_SKIP() << "this desktop object reads the wallpaper";

    core::HideWallpaper();
    EXPECT_EQ(WallpaperRecordScope::Record(), kNone) << "a wallpaper that could not be read was recorded";
    ASSERT_TRUE(WallpaperRecordScope::Leave(kBeach));
    core::RestoreWallpaper();
    EXPECT_EQ(WallpaperRecordScope::Record(), kBeach) << "the record went without a restore";
}
