#include "core/Audio.h"

#include <new>

#include "core/MixerDevices.h"
#include "core/WaveFile.h"
#include "ui/UtilWindow.h"

namespace core {

namespace {

constexpr ULONGLONG kCloseWaitMs = 2000;  // longest wait for a device to report its close

// Handles the messages of this thread until Done() holds or the wait is up.
template <class Pred>
void PumpUntil(Pred Done, ULONGLONG TimeoutMs) {
    const ULONGLONG end = GetTickCount64() + TimeoutMs;
    while (!Done() && GetTickCount64() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (Done()) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

LRESULT DefaultHandling(HWND Wnd, const ui::TMessage& m) { return DefWindowProcA(Wnd, m.Msg, m.WParam, m.LParam); }

// For a window that handles one message: true for that message (answered
// 0); any other gets the system's default handling here.
bool OnlyMessage(UINT Msg, HWND Wnd, ui::TMessage& m) {
    if (m.Msg != Msg) {
        m.Result = DefaultHandling(Wnd, m);
        return false;
    }
    m.Result = 0;
    return true;
}

uint16_t Word16(DWORD v) { return static_cast<uint16_t>(v > 0xFFFF ? 0xFFFF : v); }

} // namespace

// ---------------------------------------------------------------- mixer

TMixerSettings::TMixerSettings(TAudio* Owner) : FOwner(Owner) {
    FCallbackWnd = ui::AllocateHWnd(ui::TWndMethod(this, &TMixerSettings::MixerWndProc));
}

TMixerSettings::~TMixerSettings() {
    CloseMixer();
    ui::DeallocateHWnd(FCallbackWnd);
}

void TMixerSettings::CloseMixer() {
    if (FMixer) MixerDevices().Close(FMixer);
    FMixer = nullptr;
    FLines.clear();
    FOpened = false;
}

bool TMixerSettings::EnumerateMixer(UINT DeviceID) {
    CloseMixer();
    IMixerDevices& mixer = MixerDevices();
    if (mixer.GetNumDevs() == 0) return false;
    MIXERCAPSA caps{};
    if (mixer.GetDevCaps(DeviceID, &caps) != MMSYSERR_NOERROR) return false;
    if (mixer.Open(&FMixer, DeviceID, FCallbackWnd) != MMSYSERR_NOERROR) {
        FMixer = nullptr;
        return false;
    }
    TMixerLine device;
    device.Name = caps.szPname;
    FLines.push_back(device);
    for (DWORD d = 0; d < caps.cDestinations; ++d) {
        MIXERLINEA dest{};
        dest.cbStruct = sizeof(dest);
        dest.dwDestination = d;
        if (mixer.GetLineInfo(FMixer, &dest, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_DESTINATION) != MMSYSERR_NOERROR)
            return false;
        const bool speakers = dest.dwComponentType == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
        AddLine(dest, speakers);
        for (DWORD s = 0; s < dest.cConnections; ++s) {
            MIXERLINEA source{};
            source.cbStruct = sizeof(source);
            source.dwDestination = d;
            source.dwSource = s;
            if (mixer.GetLineInfo(FMixer, &source, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_SOURCE) !=
                MMSYSERR_NOERROR)
                return false;
            AddLine(source, speakers);
        }
    }
    return true;
}

void TMixerSettings::AddLine(const MIXERLINEA& Info, bool Speakers) {
    TMixerLine n;
    n.Destination = static_cast<uint16_t>(Info.dwDestination);
    const TMixerLine& prev = FLines.back();
    n.Line = prev.Destination == n.Destination ? static_cast<uint16_t>(prev.Line + 1) : 0;
    n.Name = Info.szShortName;
    n.LineFlags = 128;
    n.IsSpeakers = Speakers;
    const DWORD lineChannels = Info.cChannels ? Info.cChannels : 1;
    if (Info.cControls > 0) {
        std::vector<MIXERCONTROLA> controls(Info.cControls);
        MIXERLINECONTROLSA list{};
        list.cbStruct = sizeof(list);
        list.dwLineID = Info.dwLineID;
        list.cControls = Info.cControls;
        list.cbmxctrl = sizeof(MIXERCONTROLA);
        list.pamxctrl = controls.data();
        if (MixerDevices().GetLineControls(FMixer, &list, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ALL) ==
            MMSYSERR_NOERROR) {
            std::vector<DWORD> values;
            for (const MIXERCONTROLA& c : controls) {
                // A uniform control carries one value whatever the line's channels.
                const bool uniform = lineChannels == 1 || (c.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM);
                const DWORD channels = uniform ? 1 : lineChannels;
                switch (c.dwControlType) {
                case kVolumeControl:
                    if (!ReadControl(c.dwControlID, channels, values)) break;
                    n.VolumeControlID = c.dwControlID;
                    n.VolumeLeft = Word16(values[0]);
                    n.Uniform = uniform;
                    n.Channels = channels;
                    if (uniform) n.LineFlags |= 64;
                    else n.VolumeRight = Word16(values[1]);
                    n.HasControls = true;
                    break;
                case kMuteControl:
                    if (n.MuteControlID != kNoControl || !ReadControl(c.dwControlID, 1, values)) break;
                    n.MuteControlID = c.dwControlID;
                    n.Muted = values[0] != 0;
                    n.HasControls = true;
                    n.LineFlags &= 0x7F;
                    break;
                case kPeakMeterControl:
                    if (!ReadControl(c.dwControlID, channels, values)) break;
                    n.PeakMeterControlID = c.dwControlID;
                    n.PeakChannels = lineChannels == 1 ? 1 : 2;
                    break;
                default: break;
                }
            }
        }
    }
    FLines.push_back(n);
}

bool TMixerSettings::ReadControl(uint32_t ControlID, uint32_t Channels, std::vector<DWORD>& Values) {
    Values.assign(Channels ? Channels : 1, 0);
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof(d);
    d.dwControlID = ControlID;
    d.cChannels = static_cast<DWORD>(Values.size());
    d.cbDetails = sizeof(DWORD);
    d.paDetails = Values.data();
    return MixerDevices().GetControlDetails(FMixer, &d, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
}

bool TMixerSettings::WriteControl(uint32_t ControlID, std::vector<DWORD>& Values) {
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof(d);
    d.dwControlID = ControlID;
    d.cChannels = static_cast<DWORD>(Values.size());
    d.cbDetails = sizeof(DWORD);
    d.paDetails = Values.data();
    return MixerDevices().SetControlDetails(FMixer, &d, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
}

const TMixerLine* TMixerSettings::FindLine(uint16_t Destination, uint16_t Line) const {
    for (const TMixerLine& n : FLines)
        if (n.Destination == Destination && n.Line == Line) return &n;
    return nullptr;
}

bool TMixerSettings::GetVolume(uint16_t Destination, uint16_t Line, uint16_t& Left, uint16_t& Right, bool& Mute,
                               uint8_t& Flags) {
    if (!FOpened) return false;
    const TMixerLine* n = FindLine(Destination, Line);
    if (!n) return false;
    Flags = n->LineFlags;
    std::vector<DWORD> values;
    if (n->VolumeControlID == kNoControl || !ReadControl(n->VolumeControlID, n->Channels, values)) {
        FOwner->LastError = "Volume GetControlError in Mixer";
        return false;
    }
    Left = Word16(values[0]);
    Right = n->Uniform || values.size() < 2 ? Left : Word16(values[1]);
    if (n->MuteControlID == kNoControl) {
        Mute = false;
        return true;
    }
    if (!ReadControl(n->MuteControlID, 1, values)) {
        FOwner->LastError = "Mute GetControlError in Mixer";
        return false;
    }
    Mute = values[0] != 0;
    return true;
}

bool TMixerSettings::SetVolume(uint16_t Destination, uint16_t Line, uint16_t Left, uint16_t Right, bool Mute) {
    if (!FOpened) return false;
    const TMixerLine* n = FindLine(Destination, Line);
    if (!n) return false;
    if (n->VolumeControlID < kNoControl) {
        // Channels past the first two (surround lines) follow the mean of both.
        std::vector<DWORD> values(n->Channels ? n->Channels : 1, (static_cast<DWORD>(Left) + Right) / 2);
        values[0] = Left;
        if (values.size() >= 2) values[1] = Right;
        if (!WriteControl(n->VolumeControlID, values)) {
            FOwner->LastError = "Volume SetControlError in Mixer";
            return false;
        }
    }
    if (n->MuteControlID < kNoControl) {
        std::vector<DWORD> values{Mute ? 1u : 0u};
        if (!WriteControl(n->MuteControlID, values)) {
            FOwner->LastError = "Mute SetControlError in Mixer";
            return false;
        }
    }
    return true;
}

void TMixerSettings::MixerWndProc(ui::TMessage& m) {
    if (!OnlyMessage(MM_MIXM_CONTROL_CHANGE, FCallbackWnd, m)) return;
    if (!FOpened || !FOwner->OnMixerChange) return;
    TNotifyMixerChange event = FOwner->OnMixerChange;
    event(this, LOWORD(m.WParam), LOWORD(m.LParam));
    const auto id = static_cast<uint32_t>(m.LParam);
    for (const TMixerLine& n : FLines)
        if (n.VolumeControlID == id || n.MuteControlID == id) {
            event(this, n.Destination, n.Line);
            break;
        }
}

// ---------------------------------------------------------------- wave settings

TAudioSettings::TAudioSettings(TAudio* Owner) : FOwner(Owner) {}

TAudioSettings::~TAudioSettings() { FreeBuffers(); }

void TAudioSettings::FreeBuffers() {
    delete FFormat;
    FFormat = nullptr;
    for (int i = 0; i < kWaveBuffers; ++i) {
        delete FHeaders[i];
        delete[] FBuffers[i];
        delete[] FSplitBuffers[i];
        FHeaders[i] = nullptr;
        FBuffers[i] = nullptr;
        FSplitBuffers[i] = nullptr;
    }
    FBufferSize = 0;
    FNextQueued = FNextDone = FQueued = 0;
}

bool TAudioSettings::AllocateBuffers() {
    FreeBuffers();
    FFormat = new (std::nothrow) WAVEFORMATEX{};
    if (!FFormat) {
        FOwner->LastError = "Not enough memory to allocate WaveFormat";
        return false;
    }
    const WORD channels = FChannels == Stereo ? 2 : 1;
    const WORD bits = FBitsPerSample == _16 ? 16 : 8;
    FFormat->wFormatTag = WAVE_FORMAT_PCM;
    FFormat->nChannels = channels;
    FFormat->nSamplesPerSec = FSampleRate;
    FFormat->nBlockAlign = static_cast<WORD>(channels * bits / 8);
    FFormat->nAvgBytesPerSec = FSampleRate * FFormat->nBlockAlign;
    FFormat->wBitsPerSample = bits;
    FFormat->cbSize = 0;
    FBufferSize = static_cast<uint32_t>(FNoSamples) * FFormat->nBlockAlign;
    for (int i = 0; i < kWaveBuffers; ++i) {
        FHeaders[i] = new (std::nothrow) WAVEHDR{};
        if (!FHeaders[i]) {
            FOwner->LastError = "Not enough memory to allocate WaveHeader";
            return false;
        }
        FBuffers[i] = new (std::nothrow) uint8_t[FBufferSize ? FBufferSize : 1]();
        if (!FBuffers[i]) {
            FOwner->LastError = "Not enough memory to allocate Wave Buffer";
            return false;
        }
        FHeaders[i]->lpData = reinterpret_cast<LPSTR>(FBuffers[i]);
        FHeaders[i]->dwBufferLength = FBufferSize;
    }
    return true;
}

void TAudioSettings::SetChannels(TChannels v) {
    if (v == FChannels) return;
    FChannels = v;
    if (HasBuffers()) AllocateBuffers();
}
void TAudioSettings::SetBitsPerSample(TBPS v) {
    if (v == FBitsPerSample) return;
    FBitsPerSample = v;
    if (HasBuffers()) AllocateBuffers();
}
void TAudioSettings::SetSampleRate(uint16_t v) {
    if (v == FSampleRate) return;
    FSampleRate = v;
    if (HasBuffers()) AllocateBuffers();
}
void TAudioSettings::SetNoSamples(uint16_t v) {
    if (v == FNoSamples) return;
    FNoSamples = v;
    if (HasBuffers()) AllocateBuffers();
}

// ---------------------------------------------------------------- recorder

TRecorder::TRecorder(TAudio* Owner) : TAudioSettings(Owner) {
    FWindow = ui::AllocateHWnd(ui::TWndMethod(this, &TRecorder::WndProc));
}

TRecorder::~TRecorder() {
    try {
        FinishWaveStream();
    } catch (...) {
        // A file that cannot be finished must not stop the component's end.
    }
    delete FStream;
    ui::DeallocateHWnd(FWindow);
}

bool TRecorder::AllocateBuffers() {
    if (!TAudioSettings::AllocateBuffers()) return false;
    if (FSplitChannels)
        for (int i = 0; i < kWaveBuffers; ++i) {
            FSplitBuffers[i] = new (std::nothrow) uint8_t[FBufferSize ? FBufferSize : 1]();
            if (!FSplitBuffers[i]) {
                FOwner->LastError = "Not enough memory to allocate Wave Buffer";
                return false;
            }
        }
    return true;
}

void TRecorder::SetSplitChannels(bool v) {
    const bool keep = v && FChannels == Stereo;
    if (keep == FSplitChannels) return;
    FSplitChannels = keep;
    if (HasBuffers()) AllocateBuffers();
}

void TRecorder::SetWaveStream(ui::TStream* Stream) {
    if (FStream && FStream != Stream) {
        FinishWaveStream();
    }
    FStream = Stream;
    if (!FStream) return;
    const WORD channels = FChannels == Stereo ? 2 : 1;
    const WORD bits = FBitsPerSample == _16 ? 16 : 8;
    auto header = MakeWaveHeader(channels, FSampleRate, bits);
    FHeaderStart = FStream->Position();
    FStream->WriteBuffer(header.data(), header.size());
}

void TRecorder::FinishWaveStream() {
    ui::TStream* s = FStream;
    if (!s) return;
    FStream = nullptr;
    struct Guard {
        ui::TStream* s;
        ~Guard() { delete s; }
    } guard{s};
    const int64_t end = s->Size();
    const TWaveSizes sizes = WaveSizesFor(end > FHeaderStart ? static_cast<uint64_t>(end - FHeaderStart) : 0);
    s->SetPosition(FHeaderStart + kRiffSizeOffset);
    s->WriteBuffer(WaveDword(sizes.Riff).data(), 4);
    s->SetPosition(FHeaderStart + kDataSizeOffset);
    s->WriteBuffer(WaveDword(sizes.Data).data(), 4);
    s->SetPosition(end);
}

void TRecorder::Stop() {
    FActive = false;
    auto wave = reinterpret_cast<HWAVEIN>(FDevice);
    if (!wave) {
        FOwner->LastError = "Recorder already closed";
    } else {
        MMRESULT r = waveInReset(wave);
        if (r != MMSYSERR_NOERROR) FOwner->SetWaveError(r, true, "Error in waveInReset");
        for (int i = 0; i < kWaveBuffers; ++i) {
            if (!FHeaders[i] || !(FHeaders[i]->dwFlags & WHDR_PREPARED)) continue;
            r = waveInUnprepareHeader(wave, FHeaders[i], sizeof(WAVEHDR));
            if (r != MMSYSERR_NOERROR) FOwner->SetWaveError(r, true, "Error in waveInUnprepareHeader");
        }
        r = waveInClose(wave);
        if (r != MMSYSERR_NOERROR) FOwner->SetWaveError(r, true, "Error closing input device");
        FDevice = nullptr;
    }
    FQueued = 0;
    FinishWaveStream();
    PumpUntil([this] { return !FBusy; }, kCloseWaitMs);
    FBusy = false;
}

void TRecorder::DataArrived(WAVEHDR* Header) {
    if (!Header || !Header->lpData) return;
    const auto* data = reinterpret_cast<const uint8_t*>(Header->lpData);
    const DWORD bytes = Header->dwBytesRecorded < Header->dwBufferLength ? Header->dwBytesRecorded
                                                                          : Header->dwBufferLength;
    if (!FTriggered) {
        if (FBitsPerSample == _16) {
            for (DWORD i = 0; i + 1 < bytes && !FTriggered; i += 2) {
                const auto sample = static_cast<int16_t>(data[i] | (data[i + 1] << 8));
                FTriggered = sample >= static_cast<int16_t>(FTrigLevel);
            }
        } else {
            for (DWORD i = 0; i < bytes && !FTriggered; ++i) FTriggered = data[i] >= FTrigLevel;
        }
    }
    if (FTriggered && bytes > 0) {
        if (FStream) FStream->WriteBuffer(data, bytes);
        if (FOwner->OnRecord) {
            int index = 0;
            while (index < kWaveBuffers && FHeaders[index] != Header) ++index;
            if (FSplitChannels && index < kWaveBuffers && FSplitBuffers[index]) {
                // Left samples to the first half, right ones to the second.
                const DWORD sampleSize = FBitsPerSample == _16 ? 2 : 1;
                const DWORD half = bytes / 2;
                uint8_t* left = FSplitBuffers[index];
                uint8_t* right = left + half;
                for (DWORD i = 0, o = 0; i + 2 * sampleSize <= bytes; i += 2 * sampleSize, o += sampleSize)
                    for (DWORD b = 0; b < sampleSize; ++b) {
                        left[o + b] = data[i + b];
                        right[o + b] = data[i + sampleSize + b];
                    }
                FOwner->OnRecord(FOwner, left, right, static_cast<uint16_t>(half));
            } else {
                FOwner->OnRecord(FOwner, const_cast<uint8_t*>(data), nullptr, static_cast<uint16_t>(bytes));
            }
        }
    }
    // The buffer goes back to the device while it is open and data came.
    if (FActive && FDevice && bytes > 0) PostMessageA(FWindow, MM_WIM_DATA, 0, reinterpret_cast<LPARAM>(Header));
}

void TRecorder::WndProc(ui::TMessage& m) {
    if (!OnlyMessage(MM_WIM_DATA, FWindow, m)) return;
    auto* header = reinterpret_cast<WAVEHDR*>(m.LParam);
    if (!FActive || !FDevice || !header) return;
    MMRESULT r = waveInAddBuffer(reinterpret_cast<HWAVEIN>(FDevice), header, sizeof(WAVEHDR));
    if (r != MMSYSERR_NOERROR) {
        Stop();
        FOwner->SetWaveError(r, true, "Error adding input buffer");
        return;
    }
    ++FQueued;
}

// ---------------------------------------------------------------- player

TPlayer::TPlayer(TAudio* Owner) : TAudioSettings(Owner) {
    FDoneWindow = ui::AllocateHWnd(ui::TWndMethod(this, &TPlayer::DoneWndProc));
    FCloseWindow = ui::AllocateHWnd(ui::TWndMethod(this, &TPlayer::CloseWndProc));
}

TPlayer::~TPlayer() {
    delete FSource;
    ui::DeallocateHWnd(FDoneWindow);
    ui::DeallocateHWnd(FCloseWindow);
}

void TPlayer::SetSourceStream(ui::TStream* Stream, int Repeats) {
    if (FSource != Stream) delete FSource;
    FSource = Stream;
    FReadPosition = Stream ? Stream->Position() : 0;
    FRepeats = Repeats;
}

void TPlayer::Stop() {
    delete FSource;
    FSource = nullptr;
    FQueued = 0;
    auto wave = reinterpret_cast<HWAVEOUT>(FDevice);
    if (!wave) {
        FOwner->LastError = "Player already closed";
        return;
    }
    MMRESULT r = waveOutReset(wave);
    if (r != MMSYSERR_NOERROR) FOwner->SetWaveError(r, false, "Error in waveOutReset");
    PumpUntil([this] { return !FBusy; }, kCloseWaitMs);
}

bool TPlayer::QueueNextBuffer() {
    if (!FSource || !FDevice || !HasBuffers()) return false;
    WAVEHDR* h = FHeaders[FNextQueued];
    DWORD filled = 0;
    while (filled < FBufferSize) {
        FSource->SetPosition(FReadPosition);
        const int64_t got = FSource->Read(FBuffers[FNextQueued] + filled, FBufferSize - filled);
        if (got > 0) {
            filled += static_cast<DWORD>(got);
            FReadPosition += got;
            continue;
        }
        if (FRepeats <= 0) break;
        --FRepeats;
        FReadPosition = 0;
    }
    if (filled == 0) {
        delete FSource;
        FSource = nullptr;
        return false;
    }
    auto wave = reinterpret_cast<HWAVEOUT>(FDevice);
    if (h->dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(wave, h, sizeof(WAVEHDR));
    h->lpData = reinterpret_cast<LPSTR>(FBuffers[FNextQueued]);
    h->dwBufferLength = filled;
    h->dwFlags = 0;
    if (waveOutPrepareHeader(wave, h, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return false;
    if (waveOutWrite(wave, h, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return false;
    FNextQueued = (FNextQueued + 1) % kWaveBuffers;
    ++FQueued;
    return true;
}

void TPlayer::DoneWndProc(ui::TMessage& m) {
    if (!OnlyMessage(MM_WOM_DONE, FDoneWindow, m)) return;
    QueueNextBuffer();
}

void TPlayer::CloseWndProc(ui::TMessage& m) {
    if (!OnlyMessage(MM_WOM_CLOSE, FCloseWindow, m)) return;
    auto wave = reinterpret_cast<HWAVEOUT>(FDevice);
    if (wave) {
        for (int i = 0; i < kWaveBuffers; ++i) {
            if (!FHeaders[i] || !(FHeaders[i]->dwFlags & WHDR_PREPARED)) continue;
            MMRESULT r = waveOutUnprepareHeader(wave, FHeaders[i], sizeof(WAVEHDR));
            if (r != MMSYSERR_NOERROR) FOwner->SetWaveError(r, false, "Error unpreparing header for playing: ");
        }
        MMRESULT r = waveOutClose(wave);
        if (r != MMSYSERR_NOERROR) FOwner->SetWaveError(r, false, "Error closing output device: ");
        FDevice = nullptr;
    }
    FActive = false;
    if (FFormatChanged) {
        FFormatChanged = false;
        FChannels = FSavedFormat.nChannels == 2 ? Stereo : Mono;
        FBitsPerSample = FSavedFormat.wBitsPerSample == 16 ? _16 : _8;
        FSampleRate = static_cast<uint16_t>(FSavedFormat.nSamplesPerSec);
        if (HasBuffers()) AllocateBuffers();
    }
    if (FOwner->OnPlayed) FOwner->OnPlayed(FOwner);
}

// ---------------------------------------------------------------- component

TAudio::TAudio(ui::TComponent* AOwner) : ui::TComponent(AOwner) {
    FRecorder = new TRecorder(this);
    FPlayer = new TPlayer(this);
    FWindow = ui::AllocateHWnd(ui::TWndMethod(this, &TAudio::WndProc));
    FMixerSettings = new TMixerSettings(this);
    FMixerDeviceID = 0;
    FMixerSettings->SetOpened(FMixerSettings->EnumerateMixer(0));
    LastError.clear();
    if (waveInGetNumDevs() != 0 && FRecorder->AllocateBuffers() && waveOutGetNumDevs() != 0)
        FPlayer->AllocateBuffers();
}

TAudio::~TAudio() {
    // Devices first, while the windows that hear their close still exist.
    FPlayer->Stop();
    FRecorder->Stop();
    delete FMixerSettings;  // closes the mixer and its callback window
    delete FRecorder;       // finishes a wave file still being written
    delete FPlayer;
    ui::DeallocateHWnd(FWindow);
}

void TAudio::SetAudioDeviceID(int v) {
    FAudioDeviceID = v >= 10 ? -1 : v;
    if (FRecorder->HasBuffers()) FRecorder->AllocateBuffers();
    if (FPlayer->HasBuffers()) FPlayer->AllocateBuffers();
}

void TAudio::SetMixerDeviceID(int v) {
    FMixerDeviceID = v;
    FMixerSettings->SetOpened(v >= 0 && FMixerSettings->EnumerateMixer(static_cast<UINT>(v)));
}

template <class Setter>
void TAudio::ApplyFormat(TAudioSettings* Target, Setter set) {
    if (FSeparateCtrls) {
        if (Target) set(Target);
        return;
    }
    set(FPlayer);
    set(FRecorder);
}

void TAudio::SetChannels(TAudioSettings* Target, TChannels v) {
    ApplyFormat(Target, [v](TAudioSettings* s) { s->SetChannels(v); });
    FRecorder->SetSplitChannels(FRecorder->SplitChannels());
}
void TAudio::SetBitsPerSample(TAudioSettings* Target, TBPS v) {
    ApplyFormat(Target, [v](TAudioSettings* s) { s->SetBitsPerSample(v); });
}
void TAudio::SetSampleRate(TAudioSettings* Target, uint16_t v) {
    ApplyFormat(Target, [v](TAudioSettings* s) { s->SetSampleRate(v); });
}
void TAudio::SetNoSamples(TAudioSettings* Target, uint16_t v) {
    ApplyFormat(Target, [v](TAudioSettings* s) { s->SetNoSamples(v); });
}

void TAudio::SetWaveError(MMRESULT Code, bool Input, const std::string& Message) {
    char text[256] = {};
    MMRESULT r = Input ? waveInGetErrorTextA(Code, text, sizeof(text)) : waveOutGetErrorTextA(Code, text, sizeof(text));
    LastError = r == MMSYSERR_NOERROR && text[0] ? std::string(text) + " " + Message : Message;
}

void TAudio::WndProc(ui::TMessage& m) {
    m.Result = 0;
    switch (m.Msg) {
    case MM_WOM_OPEN: FPlayer->FBusy = true; break;
    case MM_WOM_CLOSE: FPlayer->FBusy = false; break;
    case MM_WOM_DONE:
        if (!FPlayer->FBusy) break;
        if (FPlayer->FQueued > 0) --FPlayer->FQueued;
        if (FPlayer->FQueued > 0 || FPlayer->FSource) {
            if (OnBufferPlayed) OnBufferPlayed(this);
            PostMessageA(FPlayer->FDoneWindow, MM_WOM_DONE, 0, 0);
            FPlayer->FNextDone = (FPlayer->FNextDone + 1) % kWaveBuffers;
        } else {
            PostMessageA(FPlayer->FCloseWindow, MM_WOM_CLOSE, 0, 0);
        }
        break;
    case MM_WIM_OPEN: FRecorder->FBusy = true; break;
    case MM_WIM_CLOSE: FRecorder->FBusy = false; break;
    case MM_WIM_DATA: FRecorder->DataArrived(reinterpret_cast<WAVEHDR*>(m.LParam)); break;
    case WM_QUERYENDSESSION:
        // Close the devices and finish a wave file, and let the session end;
        // the component itself is freed by its owner.
        FPlayer->Stop();
        FRecorder->Stop();
        m.Result = TRUE;
        break;
    default: m.Result = DefaultHandling(FWindow, m); break;
    }
}

} // namespace core
