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
#include <memory>
#include <string>
#include <vector>

#include "ui/Component.h"
#include "ui/Messages.h"
#include "ui/Stream.h"
#include "ui/UtilWindow.h"

namespace core {

class TAudio;

using TNotifyAudioRecordEvent = ui::Event<void(ui::TObject* Sender, void* LP, void* RP, uint16_t BufferSize)>;
using TNotifyBufferPlayedEvent = ui::Event<void(ui::TObject* Sender)>;
using TNotifyPlayedEvent = ui::Event<void(ui::TObject* Sender)>;
using TNotifyMixerChange = ui::Event<void(ui::TObject* Sender, uint16_t Destination, uint16_t Source)>;

constexpr uint32_t kNoControl = 0xFFFF;   // a line without that control
constexpr uint16_t kDeviceLine = 0xFFFF;  // Destination and Line of the device entry

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
    bool GetVolume(uint16_t Destination, uint16_t Line, uint16_t& Left, uint16_t& Right, bool& Mute, uint8_t& Flags);
    bool SetVolume(uint16_t Destination, uint16_t Line, uint16_t Left, uint16_t Right, bool Mute);

    // Opens the device and lists its lines; false when there is no such
    // device or it cannot be listed.
    bool EnumerateMixer(UINT DeviceID);
    void CloseMixer();

    bool Opened() const { return opened_; }
    void SetOpened(bool v) { opened_ = v; }
    const std::vector<TMixerLine>& Lines() const { return lines_; }
    HWND CallbackWindow() const { return callbackWnd_; }

private:
    friend class TAudio;
    void MixerWndProc(ui::TMessage& Message);
    void AddLine(const MIXERLINEA& Info, bool Speakers);
    const TMixerLine* FindLine(uint16_t Destination, uint16_t Line) const;
    bool ReadControl(uint32_t ControlID, uint32_t Channels, std::vector<DWORD>& Values);
    bool WriteControl(uint32_t ControlID, std::vector<DWORD>& Values);

    TAudio* owner_;  // not owned
    HMIXER mixer_ = nullptr;
    bool opened_ = false;
    std::vector<TMixerLine> lines_;
    ui::TUtilWindow callbackWnd_;
};

enum TChannels { Mono, Stereo };
enum TBPS { _8, _16 };

constexpr int kWaveBuffers = 4;

// The wave format and the four buffers of one direction.
class TAudioSettings : public ui::TPersistent {
public:
    explicit TAudioSettings(TAudio* Owner);

    TChannels Channels() const { return channels_; }
    void SetChannels(TChannels v);
    TBPS BitsPerSample() const { return bitsPerSample_; }
    void SetBitsPerSample(TBPS v);
    uint16_t SampleRate() const { return sampleRate_; }
    void SetSampleRate(uint16_t v);
    uint16_t NoSamples() const { return noSamples_; }
    void SetNoSamples(uint16_t v);

    bool Active() const { return active_; }
    bool Busy() const { return busy_; }
    const WAVEFORMATEX* WaveFormat() const { return format_.get(); }
    uint32_t BufferSize() const { return bufferSize_; }
    WAVEHDR* Header(int i) const { return headers_[i].get(); }
    uint8_t* Buffer(int i) const { return buffers_[i].get(); }
    bool HasBuffers() const { return headers_[0] && buffers_[0]; }

    // Frees and makes again the format record, the headers and the buffers
    // for the current format; false (with LastError) when memory runs out.
    virtual bool AllocateBuffers();
    void FreeBuffers();

protected:
    friend class TAudio;
    template <class T> void Reformat(T& Field, T v);

    TAudio* owner_;  // not owned
    TChannels channels_ = Mono;
    TBPS bitsPerSample_ = _8;
    uint16_t sampleRate_ = 11025;
    uint16_t noSamples_ = 8192;
    std::unique_ptr<WAVEFORMATEX> format_;
    std::unique_ptr<WAVEHDR> headers_[kWaveBuffers];
    std::unique_ptr<uint8_t[]> buffers_[kWaveBuffers];
    std::unique_ptr<uint8_t[]> splitBuffers_[kWaveBuffers];  // second channel when recording split
    uint32_t bufferSize_ = 0;
    int nextQueued_ = 0;
    int nextDone_ = 0;
    int queued_ = 0;
    bool active_ = false;
    bool busy_ = false;
    HANDLE device_ = nullptr;
};

class TRecorder : public TAudioSettings {
public:
    explicit TRecorder(TAudio* Owner);
    ~TRecorder() override;

    bool SplitChannels() const { return splitChannels_; }
    void SetSplitChannels(bool v);  // kept only for a stereo recorder
    uint16_t TrigLevel() const { return trigLevel_; }
    void SetTrigLevel(uint16_t v) { trigLevel_ = v; }
    bool Triggered() const { return triggered_; }
    void SetTriggered(bool v) { triggered_ = v; }

    // Recorded data is written to Stream as a wave file: the header now, the
    // samples as they come, the sizes when recording stops. The recorder
    // owns the stream from here on.
    void SetWaveStream(ui::TStream* Stream);
    ui::TStream* WaveStream() const { return stream_.get(); }

    // Closes the device, finishes and frees the wave stream, and waits a
    // bounded time for the device to report that it has closed.
    void Stop();
    HWND Window() const { return window_; }

    bool AllocateBuffers() override;

private:
    friend class TAudio;
    void FinishWaveStream();
    void DataArrived(WAVEHDR* Header);
    void WndProc(ui::TMessage& Message);

    bool splitChannels_ = false;
    uint16_t trigLevel_ = 0;
    bool triggered_ = false;
    std::unique_ptr<ui::TStream> stream_;
    int64_t headerStart_ = 0;  // where the wave header begins in stream_
    ui::TUtilWindow window_;
};

class TPlayer : public TAudioSettings {
public:
    explicit TPlayer(TAudio* Owner);

    // Playing reads from Stream (owned from here on), repeating it Repeats
    // more times.
    void SetSourceStream(ui::TStream* Stream, int Repeats);
    void Stop();
    HWND DoneWindow() const { return doneWindow_; }
    HWND CloseWindow() const { return closeWindow_; }

private:
    friend class TAudio;
    bool QueueNextBuffer();
    void DoneWndProc(ui::TMessage& Message);
    void CloseWndProc(ui::TMessage& Message);

    std::unique_ptr<ui::TStream> source_;
    int64_t readPosition_ = 0;
    int repeats_ = 0;
    bool formatChanged_ = false;
    WAVEFORMATEX savedFormat_{};
    ui::TUtilWindow doneWindow_;
    ui::TUtilWindow closeWindow_;
};

class TAudio : public ui::TComponent {
public:
    explicit TAudio(ui::TComponent* AOwner);
    ~TAudio() override;

    const std::string& Version() const { return version_; }
    void SetVersion(const std::string&) { version_ = kVersion; }
    int AudioDeviceID() const { return audioDeviceID_; }
    void SetAudioDeviceID(int v);
    bool SeparateCtrls() const { return separateCtrls_; }
    void SetSeparateCtrls(bool v) { separateCtrls_ = v; }
    int MixerDeviceID() const { return mixerDeviceID_; }
    void SetMixerDeviceID(int v);

    TRecorder* Recorder() const { return recorder_.get(); }
    TPlayer* Player() const { return player_.get(); }
    TMixerSettings* MixerSettings() const { return mixerSettings_.get(); }
    HWND Window() const { return window_; }
    uint32_t FormatSize() const { return formatSize_; }

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

    std::string version_ = kVersion;
    int audioDeviceID_ = -1;
    bool separateCtrls_ = false;
    int mixerDeviceID_ = 0;
    uint32_t formatSize_ = sizeof(WAVEFORMATEX);
    // Freed in reverse order: the mixer (closing its callback window), the
    // recorder (finishing a wave file still being written), the player, and
    // last the window that hears the devices close.
    ui::TUtilWindow window_;
    std::unique_ptr<TPlayer> player_;
    std::unique_ptr<TRecorder> recorder_;
    std::unique_ptr<TMixerSettings> mixerSettings_;
};

}  // namespace core
