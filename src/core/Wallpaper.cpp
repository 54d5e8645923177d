#include "core/Wallpaper.h"

#include <windows.h>
#include <wininet.h>
#include <shlobj.h>

#include <vector>

#include "core/RegistryValues.h"

namespace core {

std::string WallpaperKeyName = PasswordKeyName;

namespace {

// ---------------------------------------------------------------- the shell's object

constexpr UINT kWallpaperChars = 260;

class TActiveDesktop : public IWallpaperDesktop {
public:
    explicit TActiveDesktop(IActiveDesktop* Desktop) : desktop_(Desktop) {}
    ~TActiveDesktop() override { desktop_->Release(); }
    TActiveDesktop(const TActiveDesktop&) = delete;
    TActiveDesktop& operator=(const TActiveDesktop&) = delete;

    bool GetWallpaper(std::wstring& Path) override {
        wchar_t buf[kWallpaperChars] = {};
        if (FAILED(desktop_->GetWallpaper(buf, kWallpaperChars, 0))) return false;
        buf[kWallpaperChars - 1] = L'\0';
        Path = buf;
        return true;
    }
    bool SetWallpaper(const std::wstring& Path) override {
        return SUCCEEDED(desktop_->SetWallpaper(Path.c_str(), 0)) && SUCCEEDED(desktop_->ApplyChanges(AD_APPLY_ALL));
    }

private:
    IActiveDesktop* desktop_;  // owned: one reference
};

std::unique_ptr<IWallpaperDesktop> CreateActiveDesktop() {
    IActiveDesktop* desktop = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                                reinterpret_cast<void**>(&desktop))) ||
        !desktop)
        return nullptr;
    return std::make_unique<TActiveDesktop>(desktop);
}

TWallpaperDesktopFactory& Factory() {
    static TWallpaperDesktopFactory factory;
    return factory;
}

std::unique_ptr<IWallpaperDesktop> MakeDesktop() { return Factory() ? Factory()() : CreateActiveDesktop(); }

// ---------------------------------------------------------------- the record

// The path is kept as the wide string the shell gave, so a name outside
// the ANSI code page comes back unchanged.
const std::wstring& ValueName() {
    static const std::wstring name(WallpaperValueName, WallpaperValueName + sizeof WallpaperValueName - 1);
    return name;
}

// Far longer than any path the shell hands out: a larger value is not ours.
constexpr DWORD kMaxRecordBytes = 64 * 1024;

class TKey {
public:
    ~TKey() {
        if (h_) RegCloseKey(h_);
    }
    bool Open(REGSAM access) {
        return RegOpenKeyExA(HKEY_CURRENT_USER, WallpaperKeyName.c_str(), 0, access, &h_) == ERROR_SUCCESS;
    }
    bool Create() {
        return RegCreateKeyExA(HKEY_CURRENT_USER, WallpaperKeyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_SET_VALUE, nullptr, &h_, nullptr) == ERROR_SUCCESS;
    }
    HKEY Get() const { return h_; }

private:
    HKEY h_ = nullptr;
};

bool WriteRecord(const std::wstring& Path) {
    TKey key;
    if (!key.Create()) return false;
    return RegSetValueExW(key.Get(), ValueName().c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(Path.c_str()),
                          static_cast<DWORD>((Path.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool DropRecord() {
    TKey key;
    if (!key.Open(KEY_SET_VALUE)) return false;
    return RegDeleteValueW(key.Get(), ValueName().c_str()) == ERROR_SUCCESS;
}

enum class TRecord { Missing, Found, NotAPath };

TRecord ReadRecord(std::wstring& Path) {
    TKey key;
    if (!key.Open(KEY_QUERY_VALUE)) return TRecord::Missing;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.Get(), ValueName().c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return TRecord::Missing;
    if (type != REG_SZ || size > kMaxRecordBytes) return TRecord::NotAPath;
    std::vector<wchar_t> buf(size / sizeof(wchar_t) + 1, L'\0');
    // A failure here is passing (the value changed meanwhile): the record
    // stays for the next look.
    if (RegQueryValueExW(key.Get(), ValueName().c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) !=
        ERROR_SUCCESS)
        return TRecord::Missing;
    if (type != REG_SZ) return TRecord::NotAPath;
    buf.back() = L'\0';  // a value stored without its terminator
    Path = buf.data();
    return TRecord::Found;
}

}  // namespace

TWallpaperDesktopFactory SetWallpaperDesktopFactory(TWallpaperDesktopFactory NewFactory) {
    TWallpaperDesktopFactory previous = std::move(Factory());
    Factory() = std::move(NewFactory);
    return previous;
}

bool ReadRemovedWallpaper(std::wstring& Path) { return ReadRecord(Path) == TRecord::Found; }

void HideWallpaper() {
    std::unique_ptr<IWallpaperDesktop> desktop = MakeDesktop();
    if (!desktop) return;
    std::wstring current;
    // No wallpaper shows: either there is none, or it is ours, removed
    // before, and its record must not be overwritten with nothing.
    if (!desktop->GetWallpaper(current) || current.empty()) return;
    // Never remove what could not be recorded: it would be lost.
    if (!WriteRecord(current)) return;
    // When the removal fails the record is harmless: the restore finds the
    // wallpaper in place and only drops it.
    desktop->SetWallpaper(L"");
}

void RestoreWallpaper() {
    std::wstring recorded;
    switch (ReadRecord(recorded)) {
    case TRecord::Missing: return;
    case TRecord::NotAPath: DropRecord(); return;  // nothing that could be put back
    case TRecord::Found: break;
    }
    if (!recorded.empty()) {
        std::unique_ptr<IWallpaperDesktop> desktop = MakeDesktop();
        std::wstring current;
        if (!desktop || !desktop->GetWallpaper(current)) return;
        // A wallpaper the user chose while ours was away stays.
        if (current.empty() && !desktop->SetWallpaper(recorded)) return;
    }
    DropRecord();
}

}  // namespace core
