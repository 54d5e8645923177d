#pragma once
// The registry, one open key at a time. Failed reads and writes raise
// ERegistryException; opening, testing and deleting answer with a bool.
#include <windows.h>

#include <string>

#include "ui/Component.h"
#include "ui/GdiGuards.h"

namespace ui {

class TRegistry : public TObject {
public:
    explicit TRegistry(REGSAM access = KEY_ALL_ACCESS) : access_(access) {}

    HKEY RootKey() const { return rootKey_; }
    // Closes the current key when the root changes.
    void SetRootKey(HKEY key);
    REGSAM Access() const { return access_; }
    void SetAccess(REGSAM access) { access_ = access; }
    HKEY CurrentKey() const { return currentKey_; }
    // The current key's path below the root, without a leading backslash.
    const std::string& CurrentPath() const { return currentPath_; }

    // Makes Key the current key. A key starting with "\" is taken from the
    // root, any other from the current key (or the root when none is open).
    bool OpenKey(const std::string& Key, bool CanCreate);
    // Opens an existing key for reading only.
    bool OpenKeyReadOnly(const std::string& Key);
    void CloseKey();
    bool KeyExists(const std::string& Key);
    // Deletes the key with everything below it.
    bool DeleteKey(const std::string& Key);

    bool ValueExists(const std::string& Name) const;
    bool DeleteValue(const std::string& Name);
    std::string ReadString(const std::string& Name) const;
    void WriteString(const std::string& Name, const std::string& Value);
    int ReadInteger(const std::string& Name) const;
    void WriteInteger(const std::string& Name, int Value);
    // Stored as an integer; any non-zero value is true.
    bool ReadBool(const std::string& Name) const;
    void WriteBool(const std::string& Name, bool Value);

private:
    // Opens Key relative to the root or current key as the rules of OpenKey
    // say; the path of the result goes to path.
    HKEY Open(const std::string& Key, bool create, REGSAM access, std::string* path) const;
    HKEY Base(bool relative) const;
    // Open (as OpenKey) and make it the current key.
    bool MakeCurrent(const std::string& Key, bool create, REGSAM access);

    HKEY rootKey_ = HKEY_CURRENT_USER;  // predefined, never closed
    using TKey = ScopedHandle<HKEY, RegCloseKey>;
    TKey currentKey_;
    std::string currentPath_;
    REGSAM access_;
};

}  // namespace ui
