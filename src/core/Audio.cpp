#include "core/Audio.h"

#include <new>

#include "core/MixerDevices.h"
#include "core/WaveFile.h"
#include "ui/UtilWindow.h"

namespace core {

namespace {

constexpr ULONGLONG kCloseWaitMs = 2000;  // longest wait for a device to report its close

// Handles the messages of this thread until Done() holds or the wait is up.
template <class Pred> void PumpUntil(Pred Done, ULONGLONG TimeoutMs) {
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

// The details record of one control's values, one DWORD a channel.
MIXERCONTROLDETAILS ControlDetails(uint32_t ControlID, std::vector<DWORD>& Values) {
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof(d);
    d.dwControlID = ControlID;
    d.cChannels = static_cast<DWORD>(Values.size());
    d.cbDetails = sizeof(DWORD);
    d.paDetails = Values.data();
    return d;
}

}  // namespace

// ---------------------------------------------------------------- mixer

TMixerSettings::TMixerSettings(TAudio* Owner) : owner_(Owner) {
    callbackWnd_.Reset(ui::AllocateHWnd(ui::TWndMethod(this, &TMixerSettings::MixerWndProc)));
}

TMixerSettings::~TMixerSettings() { CloseMixer(); }

void TMixerSettings::CloseMixer() {
    if (mixer_) MixerDevices().Close(mixer_);
    mixer_ = nullptr;
    lines_.clear();
    opened_ = false;
}

bool TMixerSettings::EnumerateMixer(UINT DeviceID) {
    CloseMixer();
    IMixerDevices& mixer = MixerDevices();
    if (mixer.GetNumDevs() == 0) return false;
    MIXERCAPSA caps{};
    if (mixer.GetDevCaps(DeviceID, &caps) != MMSYSERR_NOERROR) return false;
    if (mixer.Open(&mixer_, DeviceID, callbackWnd_) != MMSYSERR_NOERROR) {
        mixer_ = nullptr;
        return false;
    }
    TMixerLine device;
    device.Name = caps.szPname;
    lines_.push_back(device);
    for (DWORD d = 0; d < caps.cDestinations; ++d) {
        MIXERLINEA dest{};
        dest.cbStruct = sizeof(dest);
        dest.dwDestination = d;
        if (mixer.GetLineInfo(mixer_, &dest, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_DESTINATION) != MMSYSERR_NOERROR)
            return false;
        const bool speakers = dest.dwComponentType == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
        AddLine(dest, speakers);
        for (DWORD s = 0; s < dest.cConnections; ++s) {
            MIXERLINEA source{};
            source.cbStruct = sizeof(source);
            source.dwDestination = d;
            source.dwSource = s;
            if (mixer.GetLineInfo(mixer_, &source, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_SOURCE) !=
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
    const TMixerLine& prev = lines_.back();
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
        if (MixerDevices().GetLineControls(mixer_, &list, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ALL) ==
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
                    if (uniform)
                        n.LineFlags |= 64;
                    else
                        n.VolumeRight = Word16(values[1]);
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
    lines_.push_back(n);
}

bool TMixerSettings::ReadControl(uint32_t ControlID, uint32_t Channels, std::vector<DWORD>& Values) {
    Values.assign(Channels ? Channels : 1, 0);
    MIXERCONTROLDETAILS d = ControlDetails(ControlID, Values);
    return MixerDevices().GetControlDetails(mixer_, &d, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
}

bool TMixerSettings::WriteControl(uint32_t ControlID, std::vector<DWORD>& Values) {
    MIXERCONTROLDETAILS d = ControlDetails(ControlID, Values);
    return MixerDevices().SetControlDetails(mixer_, &d, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
}

const TMixerLine* TMixerSettings::FindLine(uint16_t Destination, uint16_t Line) const {
    for (const TMixerLine& n : lines_)
        if (n.Destination == Destination && n.Line == Line) return &n;
    return nullptr;
}

bool TMixerSettings::GetVolume(uint16_t Destination, uint16_t Line, uint16_t& Left, uint16_t& Right, bool& Mute,
                               uint8_t& Flags) {
    if (!opened_) return false;
    const TMixerLine* n = FindLine(Destination, Line);
    if (!n) return false;
    Flags = n->LineFlags;
    std::vector<DWORD> values;
    if (n->VolumeControlID == kNoControl || !ReadControl(n->VolumeControlID, n->Channels, values)) {
        owner_->LastError = "Volume GetControlError in Mixer";
        return false;
    }
    Left = Word16(values[0]);
    Right = n->Uniform || values.size() < 2 ? Left : Word16(values[1]);
    if (n->MuteControlID == kNoControl) {
        Mute = false;
        return true;
    }
    if (!ReadControl(n->MuteControlID, 1, values)) {
        owner_->LastError = "Mute GetControlError in Mixer";
        return false;
    }
    Mute = values[0] != 0;
    return true;
}

bool TMixerSettings::SetVolume(uint16_t Destination, uint16_t Line, uint16_t Left, uint16_t Right, bool Mute) {
    if (!opened_) return false;
    const TMixerLine* n = FindLine(Destination, Line);
    if (!n) return false;
    if (n->VolumeControlID < kNoControl) {
        // Channels past the first two (surround lines) follow the mean of both.
        std::vector<DWORD> values(n->Channels ? n->Channels : 1, (static_cast<DWORD>(Left) + Right) / 2);
        values[0] = Left;
        if (values.size() >= 2) values[1] = Right;
        if (!WriteControl(n->VolumeControlID, values)) {
            owner_->LastError = "Volume SetControlError in Mixer";
            return false;
        }
    }
    if (n->MuteControlID < kNoControl) {
        std::vector<DWORD> values{Mute ? 1u : 0u};
        if (!WriteControl(n->MuteControlID, values)) {
            owner_->LastError = "Mute SetControlError in Mixer";
            return false;
        }
    }
    return true;
}

void TMixerSettings::MixerWndProc(ui::TMessage& m) {
    if (!OnlyMessage(MM_MIXM_CONTROL_CHANGE, callbackWnd_, m)) return;
    if (!opened_ || !owner_->OnMixerChange) return;
    TNotifyMixerChange event = owner_->OnMixerChange;
    event(this, LOWORD(m.WParam), LOWORD(m.LParam));
    const auto id = static_cast<uint32_t>(m.LParam);
    for (const TMixerLine& n : lines_)
        if (n.VolumeControlID == id || n.MuteControlID == id) {
            event(this, n.Destination, n.Line);
            break;
        }
}

// ---------------------------------------------------------------- wave settings

TAudioSettings::TAudioSettings(TAudio* Owner) : owner_(Owner) {}

void TAudioSettings::FreeBuffers() {
    format_.reset();
    for (int i = 0; i < kWaveBuffers; ++i) {
        headers_[i].reset();
        buffers_[i].reset();
        splitBuffers_[i].reset();
    }
    bufferSize_ = 0;
    nextQueued_ = nextDone_ = queued_ = 0;
}

bool TAudioSettings::AllocateBuffers() {
    FreeBuffers();
    format_.reset(new (std::nothrow) WAVEFORMATEX{});
    if (!format_) {
        owner_->LastError = "Not enough memory to allocate WaveFormat";
        return false;
    }
    const WORD channels = channels_ == Stereo ? 2 : 1;
    const WORD bits = bitsPerSample_ == _16 ? 16 : 8;
    format_->wFormatTag = WAVE_FORMAT_PCM;
    format_->nChannels = channels;
    format_->nSamplesPerSec = sampleRate_;
    format_->nBlockAlign = static_cast<WORD>(channels * bits / 8);
    format_->nAvgBytesPerSec = sampleRate_ * format_->nBlockAlign;
    format_->wBitsPerSample = bits;
    format_->cbSize = 0;
    bufferSize_ = static_cast<uint32_t>(noSamples_) * format_->nBlockAlign;
    for (int i = 0; i < kWaveBuffers; ++i) {
        headers_[i].reset(new (std::nothrow) WAVEHDR{});
        if (!headers_[i]) {
            owner_->LastError = "Not enough memory to allocate WaveHeader";
            return false;
        }
        buffers_[i].reset(new (std::nothrow) uint8_t[bufferSize_ ? bufferSize_ : 1]());
        if (!buffers_[i]) {
            owner_->LastError = "Not enough memory to allocate Wave Buffer";
            return false;
        }
        headers_[i]->lpData = reinterpret_cast<LPSTR>(buffers_[i].get());
        headers_[i]->dwBufferLength = bufferSize_;
    }
    return true;
}

// A format change reaches buffers already made.
template <class T> void TAudioSettings::Reformat(T& Field, T v) {
    if (v == Field) return;
    Field = v;
    if (HasBuffers()) AllocateBuffers();
}

void TAudioSettings::SetChannels(TChannels v) { Reformat(channels_, v); }
void TAudioSettings::SetBitsPerSample(TBPS v) { Reformat(bitsPerSample_, v); }
void TAudioSettings::SetSampleRate(uint16_t v) { Reformat(sampleRate_, v); }
void TAudioSettings::SetNoSamples(uint16_t v) { Reformat(noSamples_, v); }

// ---------------------------------------------------------------- recorder

TRecorder::TRecorder(TAudio* Owner) : TAudioSettings(Owner) {
    window_.Reset(ui::AllocateHWnd(ui::TWndMethod(this, &TRecorder::WndProc)));
}

TRecorder::~TRecorder() {
    try {
        FinishWaveStream();
    } catch (...) {
        // A file that cannot be finished must not stop the component's end.
    }
}

bool TRecorder::AllocateBuffers() {
    if (!TAudioSettings::AllocateBuffers()) return false;
    if (splitChannels_)
        for (int i = 0; i < kWaveBuffers; ++i) {
            splitBuffers_[i].reset(new (std::nothrow) uint8_t[bufferSize_ ? bufferSize_ : 1]());
            if (!splitBuffers_[i]) {
                owner_->LastError = "Not enough memory to allocate Wave Buffer";
                return false;
            }
        }
    return true;
}

void TRecorder::SetSplitChannels(bool v) {
    const bool keep = v && channels_ == Stereo;
    if (keep == splitChannels_) return;
    splitChannels_ = keep;
    if (HasBuffers()) AllocateBuffers();
}

void TRecorder::SetWaveStream(ui::TStream* Stream) {
    if (stream_.get() != Stream) {
        FinishWaveStream();
        stream_.reset(Stream);
    }
    if (!stream_) return;
    const WORD channels = channels_ == Stereo ? 2 : 1;
    const WORD bits = bitsPerSample_ == _16 ? 16 : 8;
    auto header = MakeWaveHeader(channels, sampleRate_, bits);
    headerStart_ = stream_->Position();
    stream_->WriteBuffer(header.data(), header.size());
}

void TRecorder::FinishWaveStream() {
    const std::unique_ptr<ui::TStream> s = std::move(stream_);
    if (!s) return;
    const int64_t end = s->Size();
    const TWaveSizes sizes = WaveSizesFor(end > headerStart_ ? static_cast<uint64_t>(end - headerStart_) : 0);
    s->SetPosition(headerStart_ + kRiffSizeOffset);
    s->WriteBuffer(WaveDword(sizes.Riff).data(), 4);
    s->SetPosition(headerStart_ + kDataSizeOffset);
    s->WriteBuffer(WaveDword(sizes.Data).data(), 4);
    s->SetPosition(end);
}

void TRecorder::Stop() {
    active_ = false;
    auto wave = reinterpret_cast<HWAVEIN>(device_);
    if (!wave) {
        owner_->LastError = "Recorder already closed";
    } else {
        MMRESULT r = waveInReset(wave);
        if (r != MMSYSERR_NOERROR) owner_->SetWaveError(r, true, "Error in waveInReset");
        for (int i = 0; i < kWaveBuffers; ++i) {
            if (!headers_[i] || !(headers_[i]->dwFlags & WHDR_PREPARED)) continue;
            r = waveInUnprepareHeader(wave, headers_[i].get(), sizeof(WAVEHDR));
            if (r != MMSYSERR_NOERROR) owner_->SetWaveError(r, true, "Error in waveInUnprepareHeader");
        }
        r = waveInClose(wave);
        if (r != MMSYSERR_NOERROR) owner_->SetWaveError(r, true, "Error closing input device");
        device_ = nullptr;
    }
    queued_ = 0;
    FinishWaveStream();
    PumpUntil([this] { return !busy_; }, kCloseWaitMs);
    busy_ = false;
}

void TRecorder::DataArrived(WAVEHDR* Header) {
    if (!Header || !Header->lpData) return;
    const auto* data = reinterpret_cast<const uint8_t*>(Header->lpData);
    const DWORD bytes =
        Header->dwBytesRecorded < Header->dwBufferLength ? Header->dwBytesRecorded : Header->dwBufferLength;
    if (!triggered_) {
        if (bitsPerSample_ == _16) {
            for (DWORD i = 0; i + 1 < bytes && !triggered_; i += 2) {
                const auto sample = static_cast<int16_t>(data[i] | (data[i + 1] << 8));
                triggered_ = sample >= static_cast<int16_t>(trigLevel_);
            }
        } else {
            for (DWORD i = 0; i < bytes && !triggered_; ++i) triggered_ = data[i] >= trigLevel_;
        }
    }
    if (triggered_ && bytes > 0) {
        if (stream_) stream_->WriteBuffer(data, bytes);
        if (owner_->OnRecord) {
            int index = 0;
            while (index < kWaveBuffers && headers_[index].get() != Header) ++index;
            if (splitChannels_ && index < kWaveBuffers && splitBuffers_[index]) {
                // Left samples to the first half, right ones to the second.
                const DWORD sampleSize = bitsPerSample_ == _16 ? 2 : 1;
                const DWORD half = bytes / 2;
                uint8_t* left = splitBuffers_[index].get();
                uint8_t* right = left + half;
                for (DWORD i = 0, o = 0; i + 2 * sampleSize <= bytes; i += 2 * sampleSize, o += sampleSize)
                    for (DWORD b = 0; b < sampleSize; ++b) {
                        left[o + b] = data[i + b];
                        right[o + b] = data[i + sampleSize + b];
                    }
                owner_->OnRecord(owner_, left, right, static_cast<uint16_t>(half));
            } else {
                owner_->OnRecord(owner_, const_cast<uint8_t*>(data), nullptr, static_cast<uint16_t>(bytes));
            }
        }
    }
    // The buffer goes back to the device while it is open and data came.
    if (active_ && device_ && bytes > 0) PostMessageA(window_, MM_WIM_DATA, 0, reinterpret_cast<LPARAM>(Header));
}

void TRecorder::WndProc(ui::TMessage& m) {
    if (!OnlyMessage(MM_WIM_DATA, window_, m)) return;
    auto* header = reinterpret_cast<WAVEHDR*>(m.LParam);
    if (!active_ || !device_ || !header) return;
    MMRESULT r = waveInAddBuffer(reinterpret_cast<HWAVEIN>(device_), header, sizeof(WAVEHDR));
    if (r != MMSYSERR_NOERROR) {
        Stop();
        owner_->SetWaveError(r, true, "Error adding input buffer");
        return;
    }
    ++queued_;
}

// ---------------------------------------------------------------- player

TPlayer::TPlayer(TAudio* Owner) : TAudioSettings(Owner) {
    doneWindow_.Reset(ui::AllocateHWnd(ui::TWndMethod(this, &TPlayer::DoneWndProc)));
    closeWindow_.Reset(ui::AllocateHWnd(ui::TWndMethod(this, &TPlayer::CloseWndProc)));
}

void TPlayer::SetSourceStream(ui::TStream* Stream, int Repeats) {
    if (source_.get() != Stream) source_.reset(Stream);
    readPosition_ = Stream ? Stream->Position() : 0;
    repeats_ = Repeats;
}

void TPlayer::Stop() {
    source_.reset();
    queued_ = 0;
    auto wave = reinterpret_cast<HWAVEOUT>(device_);
    if (!wave) {
        owner_->LastError = "Player already closed";
        return;
    }
    MMRESULT r = waveOutReset(wave);
    if (r != MMSYSERR_NOERROR) owner_->SetWaveError(r, false, "Error in waveOutReset");
    PumpUntil([this] { return !busy_; }, kCloseWaitMs);
}

bool TPlayer::QueueNextBuffer() {
    if (!source_ || !device_ || !HasBuffers()) return false;
    WAVEHDR* h = headers_[nextQueued_].get();
    DWORD filled = 0;
    while (filled < bufferSize_) {
        source_->SetPosition(readPosition_);
        const int64_t got = source_->Read(buffers_[nextQueued_].get() + filled, bufferSize_ - filled);
        if (got > 0) {
            filled += static_cast<DWORD>(got);
            readPosition_ += got;
            continue;
        }
        if (repeats_ <= 0) break;
        --repeats_;
        readPosition_ = 0;
    }
    if (filled == 0) {
        source_.reset();
        return false;
    }
    auto wave = reinterpret_cast<HWAVEOUT>(device_);
    if (h->dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(wave, h, sizeof(WAVEHDR));
    h->lpData = reinterpret_cast<LPSTR>(buffers_[nextQueued_].get());
    h->dwBufferLength = filled;
    h->dwFlags = 0;
    if (waveOutPrepareHeader(wave, h, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return false;
    if (waveOutWrite(wave, h, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return false;
    nextQueued_ = (nextQueued_ + 1) % kWaveBuffers;
    ++queued_;
    return true;
}

void TPlayer::DoneWndProc(ui::TMessage& m) {
    if (!OnlyMessage(MM_WOM_DONE, doneWindow_, m)) return;
    QueueNextBuffer();
}

void TPlayer::CloseWndProc(ui::TMessage& m) {
    if (!OnlyMessage(MM_WOM_CLOSE, closeWindow_, m)) return;
    auto wave = reinterpret_cast<HWAVEOUT>(device_);
    if (wave) {
        for (int i = 0; i < kWaveBuffers; ++i) {
            if (!headers_[i] || !(headers_[i]->dwFlags & WHDR_PREPARED)) continue;
            MMRESULT r = waveOutUnprepareHeader(wave, headers_[i].get(), sizeof(WAVEHDR));
            if (r != MMSYSERR_NOERROR) owner_->SetWaveError(r, false, "Error unpreparing header for playing: ");
        }
        MMRESULT r = waveOutClose(wave);
        if (r != MMSYSERR_NOERROR) owner_->SetWaveError(r, false, "Error closing output device: ");
        device_ = nullptr;
    }
    active_ = false;
    if (formatChanged_) {
        formatChanged_ = false;
        channels_ = savedFormat_.nChannels == 2 ? Stereo : Mono;
        bitsPerSample_ = savedFormat_.wBitsPerSample == 16 ? _16 : _8;
        sampleRate_ = static_cast<uint16_t>(savedFormat_.nSamplesPerSec);
        if (HasBuffers()) AllocateBuffers();
    }
    if (owner_->OnPlayed) owner_->OnPlayed(owner_);
}

// ---------------------------------------------------------------- component

TAudio::TAudio(ui::TComponent* AOwner) : ui::TComponent(AOwner) {
    recorder_ = std::make_unique<TRecorder>(this);
    player_ = std::make_unique<TPlayer>(this);
    window_.Reset(ui::AllocateHWnd(ui::TWndMethod(this, &TAudio::WndProc)));
    mixerSettings_ = std::make_unique<TMixerSettings>(this);
    mixerDeviceID_ = 0;
    mixerSettings_->SetOpened(mixerSettings_->EnumerateMixer(0));
    LastError.clear();
    if (waveInGetNumDevs() != 0 && recorder_->AllocateBuffers() && waveOutGetNumDevs() != 0) player_->AllocateBuffers();
}

TAudio::~TAudio() {
    // Devices first, while the windows that hear their close still exist.
    player_->Stop();
    recorder_->Stop();
}

void TAudio::SetAudioDeviceID(int v) {
    audioDeviceID_ = v >= 10 ? -1 : v;
    if (recorder_->HasBuffers()) recorder_->AllocateBuffers();
    if (player_->HasBuffers()) player_->AllocateBuffers();
}

void TAudio::SetMixerDeviceID(int v) {
    mixerDeviceID_ = v;
    mixerSettings_->SetOpened(v >= 0 && mixerSettings_->EnumerateMixer(static_cast<UINT>(v)));
}

template <class Setter> void TAudio::ApplyFormat(TAudioSettings* Target, Setter set) {
    if (separateCtrls_) {
        if (Target) set(Target);
        return;
    }
    set(player_.get());
    set(recorder_.get());
}

void TAudio::SetChannels(TAudioSettings* Target, TChannels v) {
    ApplyFormat(Target, [v](TAudioSettings* s) { s->SetChannels(v); });
    recorder_->SetSplitChannels(recorder_->SplitChannels());
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
    case MM_WOM_OPEN: player_->busy_ = true; break;
    case MM_WOM_CLOSE: player_->busy_ = false; break;
    case MM_WOM_DONE:
        if (!player_->busy_) break;
        if (player_->queued_ > 0) --player_->queued_;
        if (player_->queued_ > 0 || player_->source_) {
            if (OnBufferPlayed) OnBufferPlayed(this);
            PostMessageA(player_->doneWindow_, MM_WOM_DONE, 0, 0);
            player_->nextDone_ = (player_->nextDone_ + 1) % kWaveBuffers;
        } else {
            PostMessageA(player_->closeWindow_, MM_WOM_CLOSE, 0, 0);
        }
        break;
    case MM_WIM_OPEN: recorder_->busy_ = true; break;
    case MM_WIM_CLOSE: recorder_->busy_ = false; break;
    case MM_WIM_DATA: recorder_->DataArrived(reinterpret_cast<WAVEHDR*>(m.LParam)); break;
    case WM_QUERYENDSESSION:
        // Close the devices and finish a wave file, and let the session end;
        // the component itself is freed by its owner.
        player_->Stop();
        recorder_->Stop();
        m.Result = TRUE;
        break;
    default: m.Result = DefaultHandling(window_, m); break;
    }
}

}  // namespace core
