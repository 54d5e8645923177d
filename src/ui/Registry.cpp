#include "ui/Registry.h"

#include "ui/Exception.h"

namespace ui {

namespace {

[[noreturn]] void ReadFailed(const std::string& name) {
    throw ERegistryException("Failed to get data for '" + name + "'");
}

[[noreturn]] void WriteFailed(const std::string& name) {
    throw ERegistryException("Failed to set data for '" + name + "'");
}

[[noreturn]] void WrongType(const std::string& name) {
    throw ERegistryException("Invalid data type for '" + name + "'");
}

// Splits a key name into "from the root?" and the path proper, without the
// leading and trailing backslashes.
bool SplitKey(const std::string& key, std::string& path) {
    const bool relative = key.empty() || key[0] != '\\';
    path = relative ? key : key.substr(1);
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return relative;
}

}  // namespace

void TRegistry::SetRootKey(HKEY key) {
    if (key == rootKey_) return;
    rootKey_ = key;
    CloseKey();
}

HKEY TRegistry::Base(bool relative) const { return relative && currentKey_ ? currentKey_.Get() : rootKey_; }

HKEY TRegistry::Open(const std::string& Key, bool create, REGSAM access, std::string* path) const {
    std::string sub;
    const bool relative = SplitKey(Key, sub);
    HKEY k = nullptr;
    LONG rc;
    if (!create || sub.empty())
        rc = RegOpenKeyExA(Base(relative), sub.c_str(), 0, access, &k);
    else
        rc = RegCreateKeyExA(Base(relative), sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &k,
                             nullptr);
    if (rc != ERROR_SUCCESS) return nullptr;
    if (path) {
        if (relative && currentKey_ && !currentPath_.empty())
            *path = sub.empty() ? currentPath_ : currentPath_ + "\\" + sub;
        else
            *path = sub;
    }
    return k;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) { return MakeCurrent(Key, CanCreate, access_); }

bool TRegistry::OpenKeyReadOnly(const std::string& Key) { return MakeCurrent(Key, false, KEY_READ); }

bool TRegistry::MakeCurrent(const std::string& Key, bool create, REGSAM access) {
    std::string path;
    HKEY k = Open(Key, create, access, &path);
    if (!k) return false;
    CloseKey();
    currentKey_.Reset(k);
    currentPath_ = std::move(path);
    return true;
}

void TRegistry::CloseKey() {
    currentKey_.Reset();
    currentPath_.clear();
}

bool TRegistry::KeyExists(const std::string& Key) { return bool(TKey(Open(Key, false, KEY_READ, nullptr))); }

bool TRegistry::DeleteKey(const std::string& Key) {
    std::string sub;
    const bool relative = SplitKey(Key, sub);
    // An empty name would make RegDeleteTreeA empty the base key itself.
    if (sub.empty()) return false;
    return RegDeleteTreeA(Base(relative), sub.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::ValueExists(const std::string& Name) const {
    return currentKey_ &&
           RegQueryValueExA(currentKey_, Name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const std::string& Name) {
    return currentKey_ && RegDeleteValueA(currentKey_, Name.c_str()) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& Name) const {
    if (!currentKey_) ReadFailed(Name);
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueExA(currentKey_, Name.c_str(), nullptr, &type, nullptr, &size);
    std::string buf;
    // Ask again while the value grows between the size query and the read.
    for (;;) {
        if (rc != ERROR_SUCCESS) ReadFailed(Name);
        if (type != REG_SZ && type != REG_EXPAND_SZ) WrongType(Name);
        buf.assign(size, '\0');
        rc = RegQueryValueExA(currentKey_, Name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size);
        if (rc != ERROR_MORE_DATA) break;
        rc = ERROR_SUCCESS;
    }
    if (rc != ERROR_SUCCESS) ReadFailed(Name);
    if (type != REG_SZ && type != REG_EXPAND_SZ) WrongType(Name);
    // The stored data need not end with a zero byte; what follows one is not text.
    buf.resize(size);
    const size_t nul = buf.find('\0');
    if (nul != std::string::npos) buf.resize(nul);
    return buf;
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
    if (!currentKey_ ||
        RegSetValueExA(currentKey_, Name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                       static_cast<DWORD>(Value.size() + 1)) != ERROR_SUCCESS)
        WriteFailed(Name);
}

int TRegistry::ReadInteger(const std::string& Name) const {
    if (!currentKey_) ReadFailed(Name);
    DWORD type = 0, value = 0, size = sizeof value;
    const LONG rc = RegQueryValueExA(currentKey_, Name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (rc == ERROR_MORE_DATA) WrongType(Name);
    if (rc != ERROR_SUCCESS) ReadFailed(Name);
    if (type != REG_DWORD || size != sizeof value) WrongType(Name);
    return static_cast<int>(value);
}

void TRegistry::WriteInteger(const std::string& Name, int Value) {
    const DWORD v = static_cast<DWORD>(Value);
    if (!currentKey_ || RegSetValueExA(currentKey_, Name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v),
                                       sizeof v) != ERROR_SUCCESS)
        WriteFailed(Name);
}

bool TRegistry::ReadBool(const std::string& Name) const { return ReadInteger(Name) != 0; }

void TRegistry::WriteBool(const std::string& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

}  // namespace ui
