#include "core/AudioUnit.h"

#include <initguid.h>  // the Core Audio ids are defined here, once
#include <mmdeviceapi.h>
#include <endpointvolume.h>
#include <mmsystem.h>

#include <memory>
#include <vector>

#include "core/Audio.h"
#include "core/VolumeScale.h"

namespace core {

uint16_t DesiredVolume = 0xFFFF;
bool DesiredMuted = false;
uint16_t SavedVolume[2] = {0, 0};
bool SavedMuted = false;

namespace {

bool SavedHasVolume = false;
bool SavedHasMute = false;

TVersionQuery VersionQuery = nullptr;
TEndpointSource EndpointSource = nullptr;
TSoundPlayer SoundPlayer = nullptr;

bool SystemVersion(OSVERSIONINFOA& Info) {
    Info.dwOSVersionInfoSize = sizeof(Info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return GetVersionExA(&Info) != FALSE;
#pragma GCC diagnostic pop
}

TVersionRecord CurrentVersion(bool& Known) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    Known = VersionQuery ? VersionQuery(info) : SystemVersion(info);
    TVersionRecord v;
    if (!Known) return v;
    v.PlatformId = info.dwPlatformId;
    v.MajorVersion = info.dwMajorVersion;
    v.MinorVersion = info.dwMinorVersion;
    v.ServicePack.assign(info.szCSDVersion, strnlen(info.szCSDVersion, sizeof(info.szCSDVersion)));
    return v;
}

struct TComRelease {
    void operator()(IUnknown* p) const { p->Release(); }
};
template <class T> using TComPtr = std::unique_ptr<T, TComRelease>;

// The endpoint for one call, released after it.
TComPtr<IAudioEndpointVolume> Endpoint() { return TComPtr<IAudioEndpointVolume>(GetEndpointVolume()); }

// The temporary mixer component of one routine: mixer device 0 opened and
// listed at creation, closed when freed.
struct TTempAudio {
    TAudio* Audio = nullptr;
    TTempAudio() {
        try {
            Audio = ui::TComponent::Create<TAudio>(nullptr);
        } catch (...) {
            // No window for the mixer's messages: no volume control this time.
            Audio = nullptr;
        }
    }
    ~TTempAudio() {
        if (Audio) ui::TComponent::Free(Audio);
    }
    TTempAudio(const TTempAudio&) = delete;
    TTempAudio& operator=(const TTempAudio&) = delete;
    // Null when the component could not be made.
    TMixerSettings* Mixer() const { return Audio ? Audio->MixerSettings() : nullptr; }
};

// Level and mute of the endpoint; false when either read fails.
bool ReadEndpoint(IAudioEndpointVolume* e, float& Level, bool& Muted) {
    if (!e) return false;
    float level = 0;
    if (FAILED(e->GetMasterVolumeLevelScalar(&level))) return false;
    BOOL mute = FALSE;
    if (FAILED(e->GetMute(&mute))) return false;
    Level = level;
    Muted = mute != FALSE;
    return true;
}

// Sets the level, and the mute state only when the level was taken.
void WriteEndpoint(IAudioEndpointVolume* e, float Level, bool SetMuteToo, bool Muted) {
    if (!e) return;
    if (FAILED(e->SetMasterVolumeLevelScalar(Level, &GUID_NULL))) return;
    if (SetMuteToo) e->SetMute(Muted ? TRUE : FALSE, &GUID_NULL);
}

void SystemPlaySound(const std::string& FileName) { PlaySoundA(FileName.c_str(), nullptr, SND_FILENAME); }

}  // namespace

std::string GetWindowsVersionName() {
    bool known = false;
    TVersionRecord v = CurrentVersion(known);
    return known ? WindowsVersionName(v) : "wvUnknown";
}

bool UsesCoreAudioPath() {
    bool known = false;
    TVersionRecord v = CurrentVersion(known);
    return known && UsesCoreAudio(v);
}

IAudioEndpointVolume* GetEndpointVolume() {
    if (EndpointSource) return EndpointSource();
    // Any failed step means no volume control: the callers then leave the
    // volume alone.
    IMMDeviceEnumerator* e = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_MMDeviceEnumerator, nullptr, CLSCTX_ALL, IID_IMMDeviceEnumerator,
                                  reinterpret_cast<void**>(&e));
    const TComPtr<IMMDeviceEnumerator> enumerator(e);
    if (FAILED(hr) || !enumerator) return nullptr;
    IMMDevice* d = nullptr;
    hr = enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &d);
    const TComPtr<IMMDevice> device(d);
    if (FAILED(hr) || !device) return nullptr;
    IAudioEndpointVolume* v = nullptr;
    hr = device->Activate(IID_IAudioEndpointVolume, CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&v));
    TComPtr<IAudioEndpointVolume> volume(v);
    return SUCCEEDED(hr) ? volume.release() : nullptr;
}

bool ReadVolumeIndicator(int Max, int& Position, bool& Muted) {
    if (UsesCoreAudioPath()) {
        float level = 0;
        bool mute = false;
        if (!ReadEndpoint(Endpoint().get(), level, mute)) return false;
        Position = Max - ScaleFromLevel(level, Max);
        Muted = mute;
        return true;
    }
    TTempAudio audio;
    uint16_t left = 0, right = 0;
    bool mute = false;
    uint8_t flags = 0;
    if (!audio.Mixer() || !audio.Mixer()->GetVolume(0, 0, left, right, mute, flags)) return false;
    Position = Max - MixerVolume(left, right);
    Muted = mute;
    return true;
}

void SaveSystemVolume(int Max) {
    SavedHasVolume = SavedHasMute = false;
    if (UsesCoreAudioPath()) {
        float level = 0;
        bool mute = false;
        if (!ReadEndpoint(Endpoint().get(), level, mute)) return;
        SavedVolume[0] = ScaleFromLevel(level, Max);
        SavedMuted = mute;
        SavedHasVolume = SavedHasMute = true;
        return;
    }
    TTempAudio audio;
    if (!audio.Mixer()) return;
    uint16_t left = 0, right = 0;
    bool mute = false;
    uint8_t flags = 0;
    if (audio.Mixer()->GetVolume(0, 0, left, right, mute, flags)) {
        SavedHasVolume = SavedHasMute = true;
    } else if (audio.Audio->LastError == "Mute GetControlError in Mixer") {
        SavedHasVolume = true;  // the channels were read, the mute state was not
    }
    if (SavedHasVolume) {
        SavedVolume[0] = left;
        SavedVolume[1] = right;
    }
    if (SavedHasMute) SavedMuted = mute;
}

void ApplyDesiredVolume(int Max) {
    if (UsesCoreAudioPath()) {
        WriteEndpoint(Endpoint().get(), LevelFromScale(DesiredVolume, Max), true, DesiredMuted);
        return;
    }
    TTempAudio audio;
    if (audio.Mixer()) audio.Mixer()->SetVolume(0, 0, DesiredVolume, DesiredVolume, DesiredMuted);
}

void RestoreSystemVolume(int Max) {
    if (!SavedHasVolume) return;  // nothing was saved: leave the volume as it is
    if (UsesCoreAudioPath()) {
        WriteEndpoint(Endpoint().get(), LevelFromScale(SavedVolume[0], Max), SavedHasMute, SavedMuted);
        return;
    }
    TTempAudio audio;
    if (!audio.Mixer()) return;
    bool mute = SavedMuted;
    if (!SavedHasMute) {
        // Keep the mute state the line has now.
        uint16_t l = 0, r = 0;
        uint8_t flags = 0;
        mute = false;
        audio.Mixer()->GetVolume(0, 0, l, r, mute, flags);
    }
    audio.Mixer()->SetVolume(0, 0, SavedVolume[0], SavedVolume[1], mute);
}

void PlayTestSound() {
    std::vector<char> folder(10000, '\0');
    UINT n = GetWindowsDirectoryA(folder.data(), static_cast<UINT>(folder.size()));
    if (n == 0 || n >= folder.size()) return;
    std::string path = std::string(folder.data(), n) + "\\media\\" + "tada.wav";
    (SoundPlayer ? SoundPlayer : &SystemPlaySound)(path);
}

TSavedVolumeState GetSavedVolumeState() {
    return {{SavedVolume[0], SavedVolume[1]}, SavedMuted, SavedHasVolume, SavedHasMute};
}

void SetSavedVolumeState(const TSavedVolumeState& s) {
    SavedVolume[0] = s.Volume[0];
    SavedVolume[1] = s.Volume[1];
    SavedMuted = s.Muted;
    SavedHasVolume = s.HasVolume;
    SavedHasMute = s.HasMute;
}

void SetVersionQuery(TVersionQuery Query) { VersionQuery = Query; }
void SetEndpointSource(TEndpointSource Source) { EndpointSource = Source; }
void SetSoundPlayer(TSoundPlayer Player) { SoundPlayer = Player; }

}  // namespace core
