#pragma once
// What the settings file "vsk.dat" holds, its defaults, and the order in
// which its keys are read and written. The file itself is reached through
// TSettingsStore, so this part runs without Win32.
#include <cstdint>
#include <string>

#include "core/HotKeys.h"

namespace core {

struct TCornerSettings {
    bool Enabled = false;
    int32_t ZoneSize = 20;
    int32_t HoverInterval = 500;
    uint8_t Corner = 0;
};

// The "Sounds" section, read and written on its own before the rest.
struct TSoundSettings {
    uint16_t Volume = 0xFFFF;
    bool VolumeMuted = false;
};

struct TSettings {
    int Resolution = 0;  // the current display mode unless the file says otherwise
    bool SwitchResolution = false;
    THotKey WindowsKey{true, false, false, false, "`"};
    THotKey AppKey{true, false, false, false, "\\"};
    TCornerSettings WindowsCorner{false, 20, 500, 0};
    TCornerSettings SSaverCorner{false, 20, 500, 1};
};

// Keyed values as an INI file holds them. Reads answer Default for a missing
// key or, for numbers, a value that is not one; a Boolean is any non-zero
// integer. Writes raise when the value cannot be stored.
class TSettingsStore {
public:
    virtual ~TSettingsStore() = default;
    virtual std::string ReadString(const std::string& Section, const std::string& Ident,
                                   const std::string& Default) = 0;
    virtual int ReadInteger(const std::string& Section, const std::string& Ident, int Default) = 0;
    virtual bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) = 0;
    virtual void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) = 0;
    virtual void WriteInteger(const std::string& Section, const std::string& Ident, int Value) = 0;
    virtual void WriteBool(const std::string& Section, const std::string& Ident, bool Value) = 0;
};

// "Volume" keeps its low 16 bits (65536 reads as 0).
TSoundSettings ReadSoundSettings(TSettingsStore& Store);
void WriteSoundSettings(TSettingsStore& Store, const TSoundSettings& Sound);

// Everything from "Display" on; CurrentDisplayMode is the default of
// "Resolution". A corner keeps the low 8 bits of "Corner" (257 reads as 1).
TSettings ReadSettings(TSettingsStore& Store, int CurrentDisplayMode);
void WriteSettings(TSettingsStore& Store, const TSettings& Settings);

}  // namespace core
