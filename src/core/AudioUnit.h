#pragma once
// The system's master volume and mute state: saved when windows are hidden,
// set to the user's desired volume, and put back at the restore. Windows
// from version 6 on are served by the Core Audio endpoint volume of the
// default output device, older ones by the multimedia mixer (TAudio).
// Volumes are in the program's scale 0..Max, Max being the indicator's
// largest position (65535).
#include <windows.h>

#include <cstdint>
#include <string>

struct IAudioEndpointVolume;

namespace core {

extern uint16_t DesiredVolume;  // applied when hiding and for the test sound
extern bool DesiredMuted;
// Saved at hide: the mixer's left and right channel, or on Core Audio the
// master level in the first word only.
extern uint16_t SavedVolume[2];
extern bool SavedMuted;

// "wvWin95" ... "wvWinVista", "wvUnknown" (see VolumeScale.h).
std::string GetWindowsVersionName();
// Whether the volume routines talk to Core Audio (else to the mixer).
bool UsesCoreAudioPath();

// The default output device's endpoint volume, which the caller releases;
// nullptr when there is no output device or no Core Audio.
IAudioEndpointVolume* GetEndpointVolume();

// Reads the system volume as the indicator shows it: Position is Max minus
// the volume (the slider runs upside down). False, leaving both untouched,
// when the volume cannot be read.
bool ReadVolumeIndicator(int Max, int& Position, bool& Muted);
// Reads the system volume and mute into SavedVolume and SavedMuted; what
// cannot be read is marked as not saved.
void SaveSystemVolume(int Max);
// Sets DesiredVolume and DesiredMuted as the system volume and mute.
void ApplyDesiredVolume(int Max);
// Puts back what SaveSystemVolume saved, and only that.
void RestoreSystemVolume(int Max);
// Plays the system's "tada.wav" and returns when it has ended.
void PlayTestSound();

// The saved volume with what of it is valid, to keep it across a second
// save and restore (the test sound while windows are hidden).
struct TSavedVolumeState {
    uint16_t Volume[2];
    bool Muted;
    bool HasVolume;
    bool HasMute;
};
TSavedVolumeState GetSavedVolumeState();
void SetSavedVolumeState(const TSavedVolumeState& State);

// Sources that tests replace where the system cannot show the behaviour
// (nullptr puts the system's back).
using TVersionQuery = bool (*)(OSVERSIONINFOA& Info);
void SetVersionQuery(TVersionQuery Query);
using TEndpointSource = IAudioEndpointVolume* (*)();
void SetEndpointSource(TEndpointSource Source);
using TSoundPlayer = void (*)(const std::string& FileName);
void SetSoundPlayer(TSoundPlayer Player);

}  // namespace core
