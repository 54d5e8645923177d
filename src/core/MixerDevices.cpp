#include "core/MixerDevices.h"

namespace core {

namespace {

class TSystemMixer : public IMixerDevices {
public:
    UINT GetNumDevs() override { return mixerGetNumDevs(); }
    MMRESULT GetDevCaps(UINT id, MIXERCAPSA* caps) override { return mixerGetDevCapsA(id, caps, sizeof(*caps)); }
    MMRESULT Open(HMIXER* mixer, UINT id, HWND callback) override {
        return mixerOpen(mixer, id, reinterpret_cast<DWORD_PTR>(callback), 0, CALLBACK_WINDOW);
    }
    MMRESULT Close(HMIXER mixer) override { return mixerClose(mixer); }
    MMRESULT GetLineInfo(HMIXER mixer, MIXERLINEA* line, DWORD flags) override {
        return mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(mixer), line, flags);
    }
    MMRESULT GetLineControls(HMIXER mixer, MIXERLINECONTROLSA* controls, DWORD flags) override {
        return mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(mixer), controls, flags);
    }
    MMRESULT GetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) override {
        return mixerGetControlDetailsA(reinterpret_cast<HMIXEROBJ>(mixer), details, flags);
    }
    MMRESULT SetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) override {
        return mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer), details, flags);
    }
};

TSystemMixer SystemMixer;
IMixerDevices* Current = nullptr;

}  // namespace

IMixerDevices& MixerDevices() { return Current ? *Current : SystemMixer; }
void SetMixerDevices(IMixerDevices* Devices) { Current = Devices; }

}  // namespace core
