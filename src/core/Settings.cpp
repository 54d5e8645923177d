#include "core/Settings.h"

namespace core {

namespace {

const char kSounds[] = "Sounds";
const char kDisplay[] = "Display";

// The two hot keys and the two corners share one layout each, in this order.
void ReadHotKey(TSettingsStore& s, const char* section, THotKey& k) {
    k.Shift = s.ReadBool(section, "Shift", k.Shift);
    k.Ctrl = s.ReadBool(section, "Ctrl", k.Ctrl);
    k.Alt = s.ReadBool(section, "Alt", k.Alt);
    k.Win = s.ReadBool(section, "Win", k.Win);
    k.Key = s.ReadString(section, "Key", k.Key);
}

void WriteHotKey(TSettingsStore& s, const char* section, const THotKey& k) {
    s.WriteBool(section, "Shift", k.Shift);
    s.WriteBool(section, "Ctrl", k.Ctrl);
    s.WriteBool(section, "Alt", k.Alt);
    s.WriteBool(section, "Win", k.Win);
    s.WriteString(section, "Key", k.Key);
}

void ReadCorner(TSettingsStore& s, const char* section, TCornerSettings& c) {
    c.Enabled = s.ReadBool(section, "Enabled", c.Enabled);
    c.ZoneSize = s.ReadInteger(section, "ZoneSize", c.ZoneSize);
    c.HoverInterval = s.ReadInteger(section, "HoverInterval", c.HoverInterval);
    c.Corner = static_cast<uint8_t>(s.ReadInteger(section, "Corner", c.Corner));
}

void WriteCorner(TSettingsStore& s, const char* section, const TCornerSettings& c) {
    s.WriteBool(section, "Enabled", c.Enabled);
    s.WriteInteger(section, "ZoneSize", c.ZoneSize);
    s.WriteInteger(section, "HoverInterval", c.HoverInterval);
    s.WriteInteger(section, "Corner", c.Corner);
}

}  // namespace

TSoundSettings ReadSoundSettings(TSettingsStore& Store) {
    TSoundSettings r;
    r.Volume = static_cast<uint16_t>(Store.ReadInteger(kSounds, "Volume", r.Volume));
    r.VolumeMuted = Store.ReadBool(kSounds, "VolumeMuted", r.VolumeMuted);
    return r;
}

void WriteSoundSettings(TSettingsStore& Store, const TSoundSettings& Sound) {
    Store.WriteInteger(kSounds, "Volume", Sound.Volume);
    Store.WriteBool(kSounds, "VolumeMuted", Sound.VolumeMuted);
}

TSettings ReadSettings(TSettingsStore& Store, int CurrentDisplayMode) {
    TSettings r;
    r.Resolution = Store.ReadInteger(kDisplay, "Resolution", CurrentDisplayMode);
    r.SwitchResolution = Store.ReadBool(kDisplay, "Switch", r.SwitchResolution);
    ReadHotKey(Store, "HOTKEY_Windows", r.WindowsKey);
    ReadHotKey(Store, "HOTKEY_App", r.AppKey);
    ReadCorner(Store, "MouseShortcut_Windows", r.WindowsCorner);
    ReadCorner(Store, "MouseShortcut_SSaver", r.SSaverCorner);
    return r;
}

void WriteSettings(TSettingsStore& Store, const TSettings& Settings) {
    Store.WriteInteger(kDisplay, "Resolution", Settings.Resolution);
    Store.WriteBool(kDisplay, "Switch", Settings.SwitchResolution);
    WriteHotKey(Store, "HOTKEY_Windows", Settings.WindowsKey);
    WriteHotKey(Store, "HOTKEY_App", Settings.AppKey);
    WriteCorner(Store, "MouseShortcut_Windows", Settings.WindowsCorner);
    WriteCorner(Store, "MouseShortcut_SSaver", Settings.SSaverCorner);
}

}  // namespace core
