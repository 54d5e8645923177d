#pragma once
// Removing the desktop wallpaper and putting it back. The path of a
// wallpaper we removed waits in the registry until it is back, so a run
// that ends without restoring it (a crash, a kill, a logoff) has the next
// start put it back.
#include <functional>
#include <memory>
#include <string>

namespace core {

// The shell's desktop object, as far as the wallpaper goes.
class IWallpaperDesktop {
public:
    virtual ~IWallpaperDesktop() = default;
    // The current wallpaper's path ("" for none); false when it cannot be read.
    virtual bool GetWallpaper(std::wstring& Path) = 0;
    // Sets the wallpaper and applies the change (saved, generated, shown);
    // false when either step fails.
    virtual bool SetWallpaper(const std::wstring& Path) = 0;
};

// Makes a desktop object, or nullptr when the system cannot.
using TWallpaperDesktopFactory = std::function<std::unique_ptr<IWallpaperDesktop>()>;
// The shell's ActiveDesktop object (the default), or a test's; an empty
// factory puts the default back. Returns the previous one.
TWallpaperDesktopFactory SetWallpaperDesktopFactory(TWallpaperDesktopFactory Factory);

// Under HKEY_CURRENT_USER: the key and value that keep the path of the
// wallpaper we removed (a wide string). Tests point the key elsewhere.
extern std::string WallpaperKeyName;
inline constexpr char WallpaperValueName[] = "Wallpaper";

// The recorded path, when there is one.
bool ReadRemovedWallpaper(std::wstring& Path);

// Removes the wallpaper after recording its path. Nothing happens (and
// nothing is said) when the desktop object cannot be made, the wallpaper
// cannot be read or there is none, or the record cannot be written. While
// a wallpaper of ours is removed, the record stays as it is.
void HideWallpaper();
// Puts back the wallpaper recorded by HideWallpaper, unless the user chose
// one meanwhile, and then drops the record. When the desktop object cannot
// do it, the record stays for the next try.
void RestoreWallpaper();

}  // namespace core
