#pragma once
// A desktop whose wallpaper lives here, in place of the shell's object for
// as long as it lives, and the record of a removed wallpaper in a registry
// key of the test's own.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Wallpaper.h"

namespace vsk::test {

// Points the record of a removed wallpaper at a key of this test process,
// deleted at both ends.
class WallpaperRecordScope {
public:
    WallpaperRecordScope() : previous_(core::WallpaperKeyName) {
        core::WallpaperKeyName = "Software\\VeskaraTest\\Wallpaper-" + std::to_string(GetCurrentProcessId());
        RegDeleteTreeA(HKEY_CURRENT_USER, core::WallpaperKeyName.c_str());
    }
    ~WallpaperRecordScope() {
        RegDeleteTreeA(HKEY_CURRENT_USER, core::WallpaperKeyName.c_str());
        core::WallpaperKeyName = previous_;
    }
    WallpaperRecordScope(const WallpaperRecordScope&) = delete;
    WallpaperRecordScope& operator=(const WallpaperRecordScope&) = delete;

    // The recorded path, or "<none>".
    static std::wstring Record() {
        std::wstring path;
        return core::ReadRemovedWallpaper(path) ? path : L"<none>";
    }
    // Writes the record as a run that ended without restoring leaves it;
    // raw data of any type, or a path.
    static bool Leave(DWORD type, const void* data, DWORD bytes) {
        HKEY k;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, core::WallpaperKeyName.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &k, nullptr) != ERROR_SUCCESS)
            return false;
        const std::wstring name(core::WallpaperValueName,
                                core::WallpaperValueName + std::char_traits<char>::length(core::WallpaperValueName));
        const LONG rc = RegSetValueExW(k, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
        RegCloseKey(k);
        return rc == ERROR_SUCCESS;
    }
    static bool Leave(const std::wstring& path) {
        return Leave(REG_SZ, path.c_str(), static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    }

private:
    std::string previous_;
};

class FakeWallpaper : public WallpaperRecordScope {
public:
    std::wstring current;
    bool creatable = true;           // the desktop object can be made
    bool readable = true;            // GetWallpaper succeeds
    bool settable = true;            // SetWallpaper succeeds
    std::vector<std::wstring> sets;  // every path set, failed ones too

    explicit FakeWallpaper(std::wstring wallpaper = L"") : current(std::move(wallpaper)) {
        previous_ = core::SetWallpaperDesktopFactory([this]() -> std::unique_ptr<core::IWallpaperDesktop> {
            if (!creatable) return nullptr;
            return std::make_unique<Desktop>(*this);
        });
    }
    ~FakeWallpaper() { core::SetWallpaperDesktopFactory(std::move(previous_)); }
    FakeWallpaper(const FakeWallpaper&) = delete;
    FakeWallpaper& operator=(const FakeWallpaper&) = delete;

private:
    struct Desktop : core::IWallpaperDesktop {
        explicit Desktop(FakeWallpaper& f) : fake(f) {}
        bool GetWallpaper(std::wstring& path) override {
            if (!fake.readable) return false;
            path = fake.current;
            return true;
        }
        bool SetWallpaper(const std::wstring& path) override {
            fake.sets.push_back(path);
            if (!fake.settable) return false;
            fake.current = path;
            return true;
        }
        FakeWallpaper& fake;
    };
    core::TWallpaperDesktopFactory previous_;
};

}  // namespace vsk::test
