#pragma once
// TAudio: a non-visual component over the multimedia mixer and the wave
// devices. The mixer part lists every line of a mixer device with its
// volume, mute and peak-meter controls and reads and sets a line's volume
// and mute; the wave part keeps the recording and playing buffers, their
// format and the stop logic. Device notifications arrive as messages to
// hidden windows the component owns and are raised as its events.
#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/Component.h"
#include "ui/Messages.h"
#include "ui/Stream.h"

namespace core {

class TAudio;

using TNotifyAudioRecordEvent = ui::Event<void(ui::TObject* Sender, void* LP, void* RP, uint16_t BufferSize)>;
using TNotifyBufferPlayedEvent = ui::Event<void(ui::TObject* Sender)>;
using TNotifyPlayedEvent = ui::Event<void(ui::TObject* Sender)>;
using TNotifyMixerChange = ui::Event<void(ui::TObject* Sender, uint16_t Destination, uint16_t Source)>;

constexpr uint32_t kNoControl = 0xFFFF;  // a line without that control
constexpr uint16_t kDeviceLine = 0xFFFF; // Destination and Line of the device entry

// Control types of the mixer.
constexpr DWORD kVolumeControl = 0x50030001;
constexpr DWORD kMuteControl = 0x20010002;
constexpr DWORD kPeakMeterControl = 0x10020001;

// One mixer line as enumerated; the first entry stands for the device.
struct TMixerLine {
    uint16_t Destination = kDeviceLine;
    uint16_t Line = kDeviceLine;  // 0: the destination line itself; 1, 2...: its sources
    std::string Name;
    uint32_t VolumeControlID = kNoControl;
    uint32_t MuteControlID = kNoControl;
    uint32_t PeakMeterControlID = kNoControl;
    uint16_t VolumeLeft = 0;
    uint16_t VolumeRight = 0;
    uint8_t PeakChannels = 0;
    uint8_t LineFlags = 0;  // bit 7: no mute control found; 64: one-channel volume
    bool Muted = false;
    bool Uniform = false;  // one volume value for all channels
    bool IsSpeakers = false;
    bool HasControls = false;
    uint32_t Channels = 0;  // values a volume read or write carries (1 when Uniform)
};

class TMixerSettings : public ui::TPersistent {
public:
    explicit TMixerSettings(TAudio* Owner);
    ~TMixerSettings() override;

    // The volume of a line in 0..65535 and its mute state. A line without a
    // mute control reads as not muted.
    bool GetVolume(uint16_t Destination, uint16_t Line, uint16_t& Left, uint16_t& Right, bool& Mute,
                   uint8_t& Flags);
    bool SetVolume(uint16_t Destination, uint16_t Line, uint16_t Left, uint16_t Right, bool Mute);

    // Opens the device and lists its lines; false when there is no such
    // device or it cannot be listed.
    bool EnumerateMixer(UINT DeviceID);
    void CloseMixer();

    bool Opened() const { return FOpened; }
    void SetOpened(bool v) { FOpened = v; }
    const std::vector<TMixerLine>& Lines() const { return FLines; }
    HWND CallbackWindow() const { return FCallbackWnd; }

private:
    friend class TAudio;
    void MixerWndProc(ui::TMessage& Message);
    void AddLine(const MIXERLINEA& Info, bool Speakers);
    const TMixerLine* FindLine(uint16_t Destination, uint16_t Line) const;
    bool ReadControl(uint32_t ControlID, uint32_t Channels, std::vector<DWORD>& Values);
    bool WriteControl(uint32_t ControlID, std::vector<DWORD>& Values);

    TAudio* FOwner;  // not owned
    HMIXER FMixer = nullptr;
    bool FOpened = false;
    std::vector<TMixerLine> FLines;
    HWND FCallbackWnd = nullptr;
};

enum TChannels { Mono, Stereo };
enum TBPS { _8, _16 };

constexpr int kWaveBuffers = 4;

// The wave format and the four buffers of one direction.
class TAudioSettings : public ui::TPersistent {
public:
    explicit TAudioSettings(TAudio* Owner);
    ~TAudioSettings() override;

    TChannels Channels() const { return FChannels; }
    void SetChannels(TChannels v);
    TBPS BitsPerSample() const { return FBitsPerSample; }
    void SetBitsPerSample(TBPS v);
    uint16_t SampleRate() const { return FSampleRate; }
    void SetSampleRate(uint16_t v);
    uint16_t NoSamples() const { return FNoSamples; }
    void SetNoSamples(uint16_t v);

    bool Active() const { return FActive; }
    bool Busy() const { return FBusy; }
    const WAVEFORMATEX* WaveFormat() const { return FFormat; }
    uint32_t BufferSize() const { return FBufferSize; }
    WAVEHDR* Header(int i) const { return FHeaders[i]; }
    uint8_t* Buffer(int i) const { return FBuffers[i]; }
    bool HasBuffers() const { return FHeaders[0] && FBuffers[0]; }

    // Frees and makes again the format record, the headers and the buffers
    // for the current format; false (with LastError) when memory runs out.
    virtual bool AllocateBuffers();
    void FreeBuffers();

protected:
    friend class TAudio;
    TAudio* FOwner;  // not owned
    TChannels FChannels = Mono;
    TBPS FBitsPerSample = _8;
    uint16_t FSampleRate = 11025;
    uint16_t FNoSamples = 8192;
    WAVEFORMATEX* FFormat = nullptr;
    WAVEHDR* FHeaders[kWaveBuffers] = {};
    uint8_t* FBuffers[kWaveBuffers] = {};
    uint8_t* FSplitBuffers[kWaveBuffers] = {};  // second channel when recording split
    uint32_t FBufferSize = 0;
    int FNextQueued = 0;
    int FNextDone = 0;
    int FQueued = 0;
    bool FActive = false;
    bool FBusy = false;
    HANDLE FDevice = nullptr;
};

class TRecorder : public TAudioSettings {
public:
    explicit TRecorder(TAudio* Owner);
    ~TRecorder() override;

    bool SplitChannels() const { return FSplitChannels; }
    void SetSplitChannels(bool v);  // kept only for a stereo recorder
    uint16_t TrigLevel() const { return FTrigLevel; }
    void SetTrigLevel(uint16_t v) { FTrigLevel = v; }
    bool Triggered() const { return FTriggered; }
    void SetTriggered(bool v) { FTriggered = v; }

    // Recorded data is written to Stream as a wave file: the header now, the
    // samples as they come, the sizes when recording stops. The recorder
    // owns the stream from here on.
    void SetWaveStream(ui::TStream* Stream);
    ui::TStream* WaveStream() const { return FStream; }

    // Closes the device, finishes and frees the wave stream, and waits a
    // bounded time for the device to report that it has closed.
    void Stop();
    HWND Window() const { return FWindow; }

    bool AllocateBuffers() override;

private:
    friend class TAudio;
    void FinishWaveStream();
    void DataArrived(WAVEHDR* Header);
    void WndProc(ui::TMessage& Message);

    bool FSplitChannels = false;
    uint16_t FTrigLevel = 0;
    bool FTriggered = false;
    ui::TStream* FStream = nullptr;  // owned
    int64_t FHeaderStart = 0;        // where the wave header begins in FStream
    HWND FWindow = nullptr;
};

class TPlayer : public TAudioSettings {
public:
    explicit TPlayer(TAudio* Owner);
    ~TPlayer() override;

    // Playing reads from Stream (owned from here on), repeating it Repeats
    // more times.
    void SetSourceStream(ui::TStream* Stream, int Repeats);
    void Stop();
    HWND DoneWindow() const { return FDoneWindow; }
    HWND CloseWindow() const { return FCloseWindow; }

private:
    friend class TAudio;
    bool QueueNextBuffer();
    void DoneWndProc(ui::TMessage& Message);
    void CloseWndProc(ui::TMessage& Message);

    ui::TStream* FSource = nullptr;  // owned
    int64_t FReadPosition = 0;
    int FRepeats = 0;
    bool FFormatChanged = false;
    WAVEFORMATEX FSavedFormat{};
    HWND FDoneWindow = nullptr;
    HWND FCloseWindow = nullptr;
};

class TAudio : public ui::TComponent {
public:
    explicit TAudio(ui::TComponent* AOwner);
    ~TAudio() override;

    const std::string& Version() const { return FVersion; }
    void SetVersion(const std::string&) { FVersion = kVersion; }
    int AudioDeviceID() const { return FAudioDeviceID; }
    void SetAudioDeviceID(int v);
    bool SeparateCtrls() const { return FSeparateCtrls; }
    void SetSeparateCtrls(bool v) { FSeparateCtrls = v; }
    int MixerDeviceID() const { return FMixerDeviceID; }
    void SetMixerDeviceID(int v);

    TRecorder* Recorder() const { return FRecorder; }
    TPlayer* Player() const { return FPlayer; }
    TMixerSettings* MixerSettings() const { return FMixerSettings; }
    HWND Window() const { return FWindow; }
    uint32_t FormatSize() const { return FFormatSize; }

    // The format writers: applied to the player and the recorder alike
    // unless SeparateCtrls, when only Target changes.
    void SetChannels(TAudioSettings* Target, TChannels v);
    void SetBitsPerSample(TAudioSettings* Target, TBPS v);
    void SetSampleRate(TAudioSettings* Target, uint16_t v);
    void SetNoSamples(TAudioSettings* Target, uint16_t v);

    TNotifyAudioRecordEvent OnRecord;
    TNotifyBufferPlayedEvent OnBufferPlayed;
    TNotifyPlayedEvent OnPlayed;
    TNotifyMixerChange OnMixerChange;

    // Text of the last failure; empty when none.
    std::string LastError;
    // LastError := the system's text for Code, a blank and Message (Message
    // alone when the system has no text).
    void SetWaveError(MMRESULT Code, bool Input, const std::string& Message);

    static constexpr const char* kVersion = "4.1 (32bit)";

private:
    void WndProc(ui::TMessage& Message);
    template <class Setter> void ApplyFormat(TAudioSettings* Target, Setter set);

    std::string FVersion = kVersion;
    int FAudioDeviceID = -1;
    bool FSeparateCtrls = false;
    int FMixerDeviceID = 0;
    uint32_t FFormatSize = sizeof(WAVEFORMATEX);
    TRecorder* FRecorder = nullptr;
    TPlayer* FPlayer = nullptr;
    TMixerSettings* FMixerSettings = nullptr;
    HWND FWindow = nullptr;
};

} // namespace core
