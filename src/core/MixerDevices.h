#pragma once
// The multimedia mixer calls TAudio makes, behind a small interface: the
// system's by default; tests put in a mixer whose lines and channel counts
// they choose and which reports control changes.
#include <windows.h>
#include <mmsystem.h>

namespace core {

class IMixerDevices {
public:
    virtual ~IMixerDevices() = default;
    virtual UINT GetNumDevs() = 0;
    virtual MMRESULT GetDevCaps(UINT DeviceID, MIXERCAPSA* Caps) = 0;
    // Opens the device with CALLBACK_WINDOW: changes are posted to Callback.
    virtual MMRESULT Open(HMIXER* Mixer, UINT DeviceID, HWND Callback) = 0;
    virtual MMRESULT Close(HMIXER Mixer) = 0;
    virtual MMRESULT GetLineInfo(HMIXER Mixer, MIXERLINEA* Line, DWORD Flags) = 0;
    virtual MMRESULT GetLineControls(HMIXER Mixer, MIXERLINECONTROLSA* Controls, DWORD Flags) = 0;
    virtual MMRESULT GetControlDetails(HMIXER Mixer, MIXERCONTROLDETAILS* Details, DWORD Flags) = 0;
    virtual MMRESULT SetControlDetails(HMIXER Mixer, MIXERCONTROLDETAILS* Details, DWORD Flags) = 0;
};

// The mixer in use: the system's unless one was put in.
IMixerDevices& MixerDevices();
// Puts a mixer in place of the system's (nullptr: the system's again); the
// caller keeps it alive while it is in place.
void SetMixerDevices(IMixerDevices* Devices);

}  // namespace core
