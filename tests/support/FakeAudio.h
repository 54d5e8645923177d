#pragma once
// Stand-ins for what Wine's sound system cannot show: a mixer whose lines,
// channel counts and failures a test chooses and which reports control
// changes, and an endpoint volume whose level can be set (Wine's returns
// E_NOTIMPL). Both are put in place for the length of a scope.
#include <windows.h>
#include <mmsystem.h>
#include <endpointvolume.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/AudioUnit.h"
#include "core/MixerDevices.h"

namespace vsk::test {

struct FakeControl {
    DWORD Id;
    DWORD Type;
    bool Uniform;
    std::vector<DWORD> Values;  // one per channel the control carries
    bool FailRead = false;
    bool FailWrite = false;
};

struct FakeLine {
    std::string Name;
    DWORD ComponentType;
    DWORD Channels;
    std::vector<FakeControl> Controls;
};

struct FakeDestination {
    FakeLine Line;
    std::vector<FakeLine> Sources;
};

class FakeMixer : public core::IMixerDevices {
public:
    bool Present = true;
    std::string Name = "Fake Mixer";
    std::vector<FakeDestination> Destinations;
    HWND Callback = nullptr;
    bool Opened = false;
    int Writes = 0;
    DWORD LastWriteChannels = 0;  // values carried by the last write

    FakeMixer() { core::SetMixerDevices(this); }
    ~FakeMixer() override { core::SetMixerDevices(nullptr); }
    FakeMixer(const FakeMixer&) = delete;
    FakeMixer& operator=(const FakeMixer&) = delete;

    FakeControl* Control(DWORD id) {
        for (auto& d : Destinations) {
            for (auto& c : d.Line.Controls)
                if (c.Id == id) return &c;
            for (auto& s : d.Sources)
                for (auto& c : s.Controls)
                    if (c.Id == id) return &c;
        }
        return nullptr;
    }
    // Tells the mixer's client that a control changed, as the system does.
    void Notify(DWORD controlId) {
        PostMessageA(Callback, MM_MIXM_CONTROL_CHANGE, reinterpret_cast<WPARAM>(kHandle), controlId);
    }

    UINT GetNumDevs() override { return Present ? 1 : 0; }
    MMRESULT GetDevCaps(UINT id, MIXERCAPSA* caps) override {
        if (!Present || id != 0) return MMSYSERR_BADDEVICEID;
        *caps = MIXERCAPSA{};
        strncpy(caps->szPname, Name.c_str(), sizeof(caps->szPname) - 1);
        caps->cDestinations = static_cast<DWORD>(Destinations.size());
        return MMSYSERR_NOERROR;
    }
    MMRESULT Open(HMIXER* mixer, UINT id, HWND callback) override {
        if (!Present || id != 0) return MMSYSERR_BADDEVICEID;
        *mixer = kHandle;
        Callback = callback;
        Opened = true;
        return MMSYSERR_NOERROR;
    }
    MMRESULT Close(HMIXER) override {
        Opened = false;
        return MMSYSERR_NOERROR;
    }
    MMRESULT GetLineInfo(HMIXER, MIXERLINEA* l, DWORD flags) override {
        const DWORD query = flags & MIXER_GETLINEINFOF_QUERYMASK;
        if (l->dwDestination >= Destinations.size()) return MIXERR_INVALLINE;
        const FakeDestination& d = Destinations[l->dwDestination];
        const FakeLine* line = &d.Line;
        DWORD id = l->dwDestination << 16;
        if (query == MIXER_GETLINEINFOF_SOURCE) {
            if (l->dwSource >= d.Sources.size()) return MIXERR_INVALLINE;
            line = &d.Sources[l->dwSource];
            id |= l->dwSource + 1;
        } else if (query != MIXER_GETLINEINFOF_DESTINATION) {
            return MMSYSERR_NOTSUPPORTED;
        }
        l->dwLineID = id;
        l->dwComponentType = line->ComponentType;
        l->cChannels = line->Channels;
        l->cConnections = query == MIXER_GETLINEINFOF_DESTINATION ? static_cast<DWORD>(d.Sources.size()) : 0;
        l->cControls = static_cast<DWORD>(line->Controls.size());
        strncpy(l->szShortName, line->Name.c_str(), sizeof(l->szShortName) - 1);
        return MMSYSERR_NOERROR;
    }
    MMRESULT GetLineControls(HMIXER, MIXERLINECONTROLSA* lc, DWORD) override {
        const FakeLine* line = LineById(lc->dwLineID);
        if (!line || lc->cControls < line->Controls.size()) return MIXERR_INVALLINE;
        for (size_t i = 0; i < line->Controls.size(); ++i) {
            MIXERCONTROLA& c = lc->pamxctrl[i];
            c = MIXERCONTROLA{};
            c.cbStruct = sizeof(c);
            c.dwControlID = line->Controls[i].Id;
            c.dwControlType = line->Controls[i].Type;
            c.fdwControl = line->Controls[i].Uniform ? MIXERCONTROL_CONTROLF_UNIFORM : 0;
        }
        return MMSYSERR_NOERROR;
    }
    MMRESULT GetControlDetails(HMIXER, MIXERCONTROLDETAILS* d, DWORD) override {
        FakeControl* c = Control(d->dwControlID);
        if (!c) return MIXERR_INVALCONTROL;
        if (c->FailRead || d->cChannels != c->Values.size()) return MMSYSERR_INVALPARAM;
        std::memcpy(d->paDetails, c->Values.data(), c->Values.size() * sizeof(DWORD));
        return MMSYSERR_NOERROR;
    }
    MMRESULT SetControlDetails(HMIXER, MIXERCONTROLDETAILS* d, DWORD) override {
        FakeControl* c = Control(d->dwControlID);
        if (!c) return MIXERR_INVALCONTROL;
        if (c->FailWrite || d->cChannels != c->Values.size()) return MMSYSERR_INVALPARAM;
        std::memcpy(c->Values.data(), d->paDetails, c->Values.size() * sizeof(DWORD));
        ++Writes;
        LastWriteChannels = d->cChannels;
        return MMSYSERR_NOERROR;
    }

    static inline const HMIXER kHandle = reinterpret_cast<HMIXER>(static_cast<uintptr_t>(0x5A5A));

private:
    const FakeLine* LineById(DWORD id) const {
        const DWORD dest = id >> 16, source = id & 0xFFFF;
        if (dest >= Destinations.size()) return nullptr;
        const FakeDestination& d = Destinations[dest];
        if (source == 0) return &d.Line;
        return source <= d.Sources.size() ? &d.Sources[source - 1] : nullptr;
    }
};

// Volume and mute controls for a line of the given channels.
inline std::vector<FakeControl> VolumeAndMute(DWORD volumeId, DWORD channels, DWORD value, bool uniform = false,
                                              bool withMute = true) {
    std::vector<FakeControl> c{
        {volumeId, MIXERCONTROL_CONTROLTYPE_VOLUME, uniform, std::vector<DWORD>(uniform ? 1 : channels, value)}};
    if (withMute) c.push_back({volumeId + 1, MIXERCONTROL_CONTROLTYPE_MUTE, true, {0}});
    return c;
}

// An endpoint volume whose level and mute a test can read and set.
class FakeEndpoint : public IAudioEndpointVolume {
public:
    float Level = 1.0f;
    BOOL Mute = FALSE;
    bool FailGetLevel = false, FailGetMute = false, FailSetLevel = false, FailSetMute = false;
    int LevelWrites = 0, MuteWrites = 0;
    bool Absent = false;  // GetEndpointVolume finds no endpoint

    FakeEndpoint() {
        Current() = this;
        core::SetEndpointSource(&Source);
    }
    ~FakeEndpoint() {
        core::SetEndpointSource(nullptr);
        Current() = nullptr;
    }
    FakeEndpoint(const FakeEndpoint&) = delete;
    FakeEndpoint& operator=(const FakeEndpoint&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
    HRESULT STDMETHODCALLTYPE RegisterControlChangeNotify(IAudioEndpointVolumeCallback*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnregisterControlChangeNotify(IAudioEndpointVolumeCallback*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetChannelCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevel(FLOAT, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(FLOAT level, LPCGUID) override {
        if (FailSetLevel) return E_FAIL;
        Level = level;
        ++LevelWrites;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevel(FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(FLOAT* level) override {
        if (FailGetLevel) return E_FAIL;
        *level = Level;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevel(UINT, FLOAT, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevelScalar(UINT, FLOAT, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevel(UINT, FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevelScalar(UINT, FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMute(WINBOOL mute, LPCGUID) override {
        if (FailSetMute) return E_FAIL;
        Mute = mute;
        ++MuteWrites;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMute(WINBOOL* mute) override {
        if (FailGetMute) return E_FAIL;
        *mute = Mute;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetVolumeStepInfo(UINT*, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VolumeStepUp(LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VolumeStepDown(LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryHardwareSupport(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVolumeRange(FLOAT*, FLOAT*, FLOAT*) override { return E_NOTIMPL; }

    // References the code under test still holds.
    int References() const { return refs_; }

private:
    static FakeEndpoint*& Current() {
        static FakeEndpoint* current = nullptr;
        return current;
    }
    static IAudioEndpointVolume* Source() {
        FakeEndpoint* e = Current();
        if (!e || e->Absent) return nullptr;
        e->AddRef();
        return e;
    }
    int refs_ = 0;
};

// Reports the given version record to the volume routines for a scope.
class FakeVersion {
public:
    FakeVersion(DWORD platform, DWORD major, DWORD minor, const char* servicePack = "") {
        Record() = OSVERSIONINFOA{};
        Record().dwPlatformId = platform;
        Record().dwMajorVersion = major;
        Record().dwMinorVersion = minor;
        strncpy(Record().szCSDVersion, servicePack, sizeof(Record().szCSDVersion) - 1);
        core::SetVersionQuery(&Query);
    }
    ~FakeVersion() { core::SetVersionQuery(nullptr); }
    FakeVersion(const FakeVersion&) = delete;
    FakeVersion& operator=(const FakeVersion&) = delete;

private:
    static OSVERSIONINFOA& Record() {
        static OSVERSIONINFOA r{};
        return r;
    }
    static bool Query(OSVERSIONINFOA& info) {
        info = Record();
        return true;
    }
};

}  // namespace vsk::test
