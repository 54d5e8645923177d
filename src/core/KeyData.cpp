#include "core/KeyData.h"

#include <utility>

#include "hook/KeyDataLayout.h"

namespace core {

TKeyInfo DecodeKeyData(uint32_t KeyData, std::string KeyName) {
    TKeyInfo info;
    info.RepeatCount = static_cast<int32_t>(KeyData & 0xFFFFu);
    info.ScanCode = static_cast<int32_t>((KeyData >> hook::KeyDataScanShift) & 0xFFu);
    info.Extended = (KeyData & hook::KeyDataExtended) != 0;
    info.ContextAlt = (KeyData & hook::KeyDataContextAlt) != 0;
    info.WasDown = (KeyData & hook::KeyDataWasDown) != 0;
    info.IsDown = (KeyData & hook::KeyDataReleased) == 0;
    info.KeyName = std::move(KeyName);
    return info;
}

}  // namespace core
