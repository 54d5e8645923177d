#include "core/KeyData.h"

#include <utility>

namespace core {

TKeyInfo DecodeKeyData(uint32_t KeyData, std::string KeyName) {
    TKeyInfo info;
    info.RepeatCount = static_cast<int32_t>(KeyData & 0xFFFFu);
    info.ScanCode = static_cast<int32_t>((KeyData >> KeyDataScanShift) & 0xFFu);
    info.Extended = (KeyData & KeyDataExtended) != 0;
    info.ContextAlt = (KeyData & KeyDataContextAlt) != 0;
    info.WasDown = (KeyData & KeyDataWasDown) != 0;
    info.IsDown = (KeyData & KeyDataReleased) == 0;
    info.KeyName = std::move(KeyName);
    return info;
}

}  // namespace core
