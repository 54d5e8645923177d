// TAudio: the mixer part against a fake mixer (no device, one channel, six
// channels, a line without mute, change notifications) and against Wine's
// own mixer, the component's window, and the wave file the recorder writes.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "core/Audio.h"
#include "core/AudioUnit.h"
#include "support/FakeAudio.h"
#include "support/UiTestUtil.h"
#include "ui/Stream.h"

using namespace core;
using vsk::test::FakeDestination;
using vsk::test::FakeLine;
using vsk::test::FakeMixer;
using vsk::test::VolumeAndMute;

namespace {

constexpr DWORD kSpeakers = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
constexpr DWORD kWaveOut = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;

struct AudioPtr {
    TAudio* a = ui::TComponent::Create<TAudio>(nullptr);
    ~AudioPtr() { ui::TComponent::Free(a); }
    TAudio* operator->() const { return a; }
};

}  // namespace

TEST(AudioMixer, NoDeviceLeavesTheMixerClosedAndEveryCallFails) {
    FakeMixer mixer;
    mixer.Present = false;
    AudioPtr audio;
    EXPECT_FALSE(audio->MixerSettings()->Opened());
    EXPECT_TRUE(audio->MixerSettings()->Lines().empty());
    uint16_t l = 7, r = 7;
    bool m = false;
    uint8_t f = 0;
    EXPECT_FALSE(audio->MixerSettings()->GetVolume(0, 0, l, r, m, f));
    EXPECT_FALSE(audio->MixerSettings()->SetVolume(0, 0, 1, 1, false));
    EXPECT_EQ(l, 7);
    EXPECT_EQ(mixer.Writes, 0);
}

TEST(AudioMixer, ListsTheDeviceThenEachDestinationWithItsSources) {
    FakeMixer mixer;
    mixer.Destinations = {
        {{"Speakers", kSpeakers, 2, VolumeAndMute(10, 2, 30000)},
         {{"Wave", kWaveOut, 2, VolumeAndMute(20, 2, 100, false, false)}, {"Bare", kWaveOut, 1, {}}}},
        {{"Recording",
          MIXERLINE_COMPONENTTYPE_DST_WAVEIN,
          1,
          {{40, MIXERCONTROL_CONTROLTYPE_PEAKMETER, false, {5}}, {41, MIXERCONTROL_CONTROLTYPE_VOLUME, false, {9}}}},
         {}}};
    AudioPtr audio;
    ASSERT_TRUE(audio->MixerSettings()->Opened());
    const auto& lines = audio->MixerSettings()->Lines();
    ASSERT_EQ(lines.size(), 5u);
    struct Expect {
        uint16_t dest, line;
        const char* name;
        uint32_t vol, mute, peak;
        uint8_t flags;
        bool speakers, controls, uniform;
    } expected[] = {
        {kDeviceLine, kDeviceLine, "Fake Mixer", kNoControl, kNoControl, kNoControl, 0, false, false, false},
        {0, 0, "Speakers", 10, 11, kNoControl, 0, true, true, false},
        {0, 1, "Wave", 20, kNoControl, kNoControl, 128, true, true, false},
        {0, 2, "Bare", kNoControl, kNoControl, kNoControl, 128, true, false, false},
        {1, 0, "Recording", 41, kNoControl, 40, 128 + 64, false, true, true},
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i));
        const Expect& e = expected[i];
        EXPECT_EQ(lines[i].Destination, e.dest);
        EXPECT_EQ(lines[i].Line, e.line);
        EXPECT_EQ(lines[i].Name, e.name);
        EXPECT_EQ(lines[i].VolumeControlID, e.vol);
        EXPECT_EQ(lines[i].MuteControlID, e.mute);
        EXPECT_EQ(lines[i].PeakMeterControlID, e.peak);
        EXPECT_EQ(lines[i].LineFlags, e.flags);
        EXPECT_EQ(lines[i].IsSpeakers, e.speakers);
        EXPECT_EQ(lines[i].HasControls, e.controls);
        EXPECT_EQ(lines[i].Uniform, e.uniform);
    }
    EXPECT_EQ(lines[1].VolumeLeft, 30000);
    EXPECT_EQ(lines[4].PeakChannels, 1);
    EXPECT_EQ(lines[4].VolumeLeft, 9);
}

// Lines of every channel count are read and written with as many values as
// they carry; a line without mute reads as not muted.
TEST(AudioMixer, VolumeOfOneTwoAndSixChannelLinesAndOfALineWithoutMute) {
    struct Case {
        const char* name;
        DWORD channels;
        bool uniform, withMute;
        std::vector<DWORD> start;
        uint16_t left, right;  // read back
        DWORD written;         // values the write carries
    } cases[] = {
        {"one channel", 1, false, true, {1200}, 1200, 1200, 1},
        {"stereo", 2, false, true, {1000, 2001}, 1000, 2001, 2},
        {"uniform stereo", 2, true, true, {4000}, 4000, 4000, 1},
        {"six channels", 6, false, true, {10, 20, 30, 40, 50, 60}, 10, 20, 6},
        {"no mute control", 2, false, false, {500, 600}, 500, 600, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMixer mixer;
        auto controls = VolumeAndMute(1, c.channels, 0, c.uniform, c.withMute);
        controls[0].Values = c.start;
        if (c.withMute) controls[1].Values = {1};
        mixer.Destinations = {{{"Speakers", kSpeakers, c.channels, controls}, {}}};
        AudioPtr audio;
        uint16_t l = 0, r = 0;
        bool m = !c.withMute;
        uint8_t f = 0;
        ASSERT_TRUE(audio->MixerSettings()->GetVolume(0, 0, l, r, m, f)) << audio->LastError;
        EXPECT_EQ(l, c.left);
        EXPECT_EQ(r, c.right);
        EXPECT_EQ(m, c.withMute) << "mute state";
        EXPECT_EQ(f & 128, c.withMute ? 0 : 128);

        ASSERT_TRUE(audio->MixerSettings()->SetVolume(0, 0, 3000, 5000, false)) << audio->LastError;
        EXPECT_EQ(mixer.Control(1)->Values.size(), c.written);
        EXPECT_EQ(mixer.Control(1)->Values[0], 3000u);
        if (c.written >= 2) {
            EXPECT_EQ(mixer.Control(1)->Values[1], 5000u);
        }
        if (c.written > 2) {
            EXPECT_EQ(mixer.Control(1)->Values[5], 4000u) << "further channels follow the mean";
        }
        if (c.withMute) {
            EXPECT_EQ(mixer.Control(2)->Values[0], 0u);
        }
        EXPECT_EQ(audio->LastError, "");
    }
}

TEST(AudioMixer, FailuresReturnFalseWithTheirTexts) {
    struct Case {
        const char* name;
        bool failVolRead, failMuteRead, failVolWrite, failMuteWrite;
        bool get, set;
        const char* error;
    } cases[] = {
        {"volume read", true, false, false, false, false, true, "Volume GetControlError in Mixer"},
        {"mute read", false, true, false, false, false, true, "Mute GetControlError in Mixer"},
        {"volume write", false, false, true, false, true, false, "Volume SetControlError in Mixer"},
        {"mute write", false, false, false, true, true, false, "Mute SetControlError in Mixer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMixer mixer;
        mixer.Destinations = {{{"Speakers", kSpeakers, 2, VolumeAndMute(1, 2, 700)}, {}}};
        AudioPtr audio;
        mixer.Control(1)->FailRead = c.failVolRead;
        mixer.Control(2)->FailRead = c.failMuteRead;
        mixer.Control(1)->FailWrite = c.failVolWrite;
        mixer.Control(2)->FailWrite = c.failMuteWrite;
        uint16_t l = 0, r = 0;
        bool m = false;
        uint8_t f = 0;
        EXPECT_EQ(audio->MixerSettings()->GetVolume(0, 0, l, r, m, f), c.get);
        EXPECT_EQ(audio->MixerSettings()->SetVolume(0, 0, 1, 1, true), c.set);
        EXPECT_EQ(audio->LastError, c.error);
    }
    FakeMixer mixer;
    mixer.Destinations = {{{"Speakers", kSpeakers, 2, VolumeAndMute(1, 2, 700)}, {}}};
    AudioPtr audio;
    uint16_t l = 0, r = 0;
    bool m = false;
    uint8_t f = 0;
    EXPECT_FALSE(audio->MixerSettings()->GetVolume(0, 5, l, r, m, f)) << "no such line";
    EXPECT_FALSE(audio->MixerSettings()->SetVolume(3, 0, 1, 1, false)) << "no such line";
}

TEST(AudioMixer, ControlChangesAreRaisedAsEventsFromTheCallbackWindow) {
    FakeMixer mixer;
    mixer.Destinations = {
        {{"Speakers", kSpeakers, 2, VolumeAndMute(10, 2, 1)},
         {{"Wave", kWaveOut, 2, VolumeAndMute(20, 2, 1)}, {"CD", kWaveOut, 2, VolumeAndMute(30, 2, 1)}}}};
    AudioPtr audio;
    ASSERT_EQ(mixer.Callback, audio->MixerSettings()->CallbackWindow());
    static std::vector<std::pair<uint16_t, uint16_t>> seen;
    static ui::TObject* sender;
    seen.clear();
    audio->OnMixerChange = TNotifyMixerChange(+[](ui::TObject* s, uint16_t d, uint16_t l) {
        sender = s;
        seen.emplace_back(d, l);
    });
    mixer.Notify(31);  // the mute control of the second source
    ASSERT_TRUE(vsk::test::PumpUntil([] { return seen.size() >= 2; }));
    EXPECT_EQ(sender, audio->MixerSettings());
    EXPECT_EQ(seen[0].second, 31) << "the first event carries the control id";
    EXPECT_EQ(seen[1], (std::pair<uint16_t, uint16_t>(0, 2))) << "the second names the line";

    // No line has control 99: only the first event. The change of the
    // speakers' volume behind it shows when the queue has been handled.
    seen.clear();
    mixer.Notify(99);
    mixer.Notify(10);
    ASSERT_TRUE(
        vsk::test::PumpUntil([] { return !seen.empty() && seen.back() == std::pair<uint16_t, uint16_t>(0, 0); }));
    EXPECT_EQ(seen.size(), 3u);
}

// Wine's own mixer (the null sound device of the test runs): one
// destination with a uniform volume and a mute control, and one source.
TEST(AudioMixer, WinesMixerRoundTripsVolumeAndMute) {
    if (mixerGetNumDevs() == 0) GTEST_SKIP() << "this run has no sound device";
    AudioPtr audio;
    ASSERT_TRUE(audio->MixerSettings()->Opened());
    const auto& lines = audio->MixerSettings()->Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1].Destination, 0);
    EXPECT_EQ(lines[1].Line, 0);
    EXPECT_TRUE(lines[1].IsSpeakers);
    uint16_t l0 = 0, r0 = 0, l = 0, r = 0;
    bool m0 = false, m = false;
    uint8_t f = 0;
    ASSERT_TRUE(audio->MixerSettings()->GetVolume(0, 0, l0, r0, m0, f)) << audio->LastError;
    for (auto [vol, mute] : {std::pair<uint16_t, bool>{1000, true}, {40000, false}}) {
        ASSERT_TRUE(audio->MixerSettings()->SetVolume(0, 0, vol, vol, mute)) << audio->LastError;
        ASSERT_TRUE(audio->MixerSettings()->GetVolume(0, 0, l, r, m, f)) << audio->LastError;
        EXPECT_EQ(l, vol);
        EXPECT_EQ(r, vol);
        EXPECT_EQ(m, mute);
    }
    audio->MixerSettings()->SetVolume(0, 0, l0, r0, m0);
}

TEST(AudioComponent, PropertiesAndFormatWriters) {
    FakeMixer mixer;
    mixer.Present = false;
    AudioPtr audio;
    audio->SetVersion("9.9");
    EXPECT_EQ(audio->Version(), "4.1 (32bit)");
    audio->SetAudioDeviceID(12);
    EXPECT_EQ(audio->AudioDeviceID(), -1);
    audio->SetAudioDeviceID(3);
    EXPECT_EQ(audio->AudioDeviceID(), 3);

    TRecorder* rec = audio->Recorder();
    TPlayer* play = audio->Player();
    ASSERT_TRUE(rec->AllocateBuffers());
    audio->SetChannels(rec, Stereo);
    audio->SetBitsPerSample(rec, _16);
    audio->SetNoSamples(rec, 100);
    EXPECT_EQ(play->Channels(), Stereo) << "without SeparateCtrls both change";
    EXPECT_EQ(play->BitsPerSample(), _16);
    EXPECT_EQ(rec->BufferSize(), 400u) << "samples x block align";
    EXPECT_EQ(rec->WaveFormat()->nAvgBytesPerSec, 11025u * 4);
    rec->SetSplitChannels(true);
    EXPECT_TRUE(rec->SplitChannels());

    audio->SetSeparateCtrls(true);
    audio->SetChannels(rec, Mono);
    EXPECT_EQ(rec->Channels(), Mono);
    EXPECT_EQ(play->Channels(), Stereo) << "with SeparateCtrls only the target changes";
    EXPECT_FALSE(rec->SplitChannels()) << "a mono recorder does not split";
}

// The component's window hands what it does not handle to the system, and
// the end of the session neither frees the component nor is vetoed.
TEST(AudioComponent, WindowKeepsDefaultHandlingAndSurvivesTheEndOfTheSession) {
    FakeMixer mixer;
    mixer.Destinations = {{{"Speakers", kSpeakers, 2, VolumeAndMute(1, 2, 700)}, {}}};
    AudioPtr audio;
    for (HWND w : {audio->Window(), audio->MixerSettings()->CallbackWindow(), audio->Recorder()->Window(),
                   audio->Player()->DoneWindow(), audio->Player()->CloseWindow()}) {
        ASSERT_TRUE(IsWindow(w));
        ASSERT_TRUE(SetWindowTextA(w, "kept"));
        char text[16] = {};
        GetWindowTextA(w, text, sizeof text);
        EXPECT_STREQ(text, "kept") << "WM_SETTEXT/WM_GETTEXT reached no default handling";
    }
    EXPECT_NE(SendMessageA(audio->Window(), WM_QUERYENDSESSION, 0, 0), 0) << "the session end was vetoed";
    // Still whole: its window and its mixer answer.
    EXPECT_TRUE(IsWindow(audio->Window()));
    uint16_t l = 0, r = 0;
    bool m = false;
    uint8_t f = 0;
    EXPECT_TRUE(audio->MixerSettings()->GetVolume(0, 0, l, r, m, f));
    EXPECT_EQ(l, 700);
}

// Recorded data written to a file, finished by the recorder's stop: the
// header's sizes match the file (the file is checked again by Python's wave
// module after this program).
TEST(AudioRecorder, StopFinishesAValidWaveFile) {
    FakeMixer mixer;
    mixer.Present = false;
    AudioPtr audio;
    TRecorder* rec = audio->Recorder();
    audio->SetChannels(rec, Stereo);
    audio->SetBitsPerSample(rec, _16);
    audio->SetSampleRate(rec, 8000);
    audio->SetNoSamples(rec, 64);
    rec->SetSplitChannels(true);
    ASSERT_TRUE(rec->AllocateBuffers()) << audio->LastError;
    static std::vector<std::pair<std::vector<uint8_t>, std::vector<uint8_t>>> halves;
    halves.clear();
    audio->OnRecord = TNotifyAudioRecordEvent(+[](ui::TObject*, void* lp, void* rp, uint16_t size) {
        auto* l = static_cast<uint8_t*>(lp);
        auto* r = static_cast<uint8_t*>(rp);
        halves.emplace_back(std::vector<uint8_t>(l, l + size), std::vector<uint8_t>(r, r + size));
    });

    const std::string path = VSK_WAVE_OUTPUT;
    rec->SetWaveStream(new ui::TFileStream(path, ui::fmCreate));
    // Two buffers arrive from the device: left samples 0x0102, right 0x0304.
    const DWORD sizes[] = {256, 100};
    for (int b = 0; b < 2; ++b) {
        WAVEHDR* h = rec->Header(b);
        for (DWORD i = 0; i < sizes[b]; i += 4) {
            h->lpData[i] = 0x02, h->lpData[i + 1] = 0x01, h->lpData[i + 2] = 0x04, h->lpData[i + 3] = 0x03;
        }
        h->dwBytesRecorded = sizes[b];
        SendMessageA(audio->Window(), MM_WIM_DATA, 0, reinterpret_cast<LPARAM>(h));
    }
    ASSERT_EQ(halves.size(), 2u);
    EXPECT_EQ(halves[0].first.size(), 128u);
    EXPECT_EQ(halves[0].first[0], 0x02);
    EXPECT_EQ(halves[0].first[1], 0x01);
    EXPECT_EQ(halves[0].second[0], 0x04);
    EXPECT_EQ(halves[0].second[127], 0x03);

    rec->Stop();
    EXPECT_EQ(rec->WaveStream(), nullptr) << "the stream is freed at the stop";
    EXPECT_EQ(audio->LastError, "Recorder already closed");

    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(file.size(), 44u + 356u);
    auto dword = [&](size_t at) {
        return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | uint32_t(file[at + 3]) << 24;
    };
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
    EXPECT_EQ(dword(4), file.size() - 8);
    EXPECT_EQ(std::string(file.begin() + 36, file.begin() + 40), "data");
    EXPECT_EQ(dword(40), 356u);
    EXPECT_EQ(dword(24), 8000u);
}

// A device that never reports its close does not hold the stop for ever.
TEST(AudioRecorder, StopWaitsForTheCloseOnlyAsLongAsItComes) {
    FakeMixer mixer;
    mixer.Present = false;
    AudioPtr audio;
    SendMessageA(audio->Window(), MM_WIM_OPEN, 0, 0);
    ASSERT_TRUE(audio->Recorder()->Busy());
    PostMessageA(audio->Window(), MM_WIM_CLOSE, 0, 0);
    audio->Recorder()->Stop();
    EXPECT_FALSE(audio->Recorder()->Busy());

    SendMessageA(audio->Window(), MM_WIM_OPEN, 0, 0);  // and no close follows
    audio->Recorder()->Stop();
    EXPECT_FALSE(audio->Recorder()->Busy());
}

// The volume routines read the system's version record: its name, and the
// interface that serves it.
TEST(AudioUnitVersion, NameAndPathFromTheVersionRecord) {
    struct Row {
        DWORD platform, major, minor;
        const char* sp;
        const char* name;
        bool coreAudio;
    } rows[] = {{1, 4, 10, " A", "wvWin98SE", false},
                {2, 5, 1, "", "wvWinXP", false},
                {2, 5, 2, "", "wvUnknown", false},
                {2, 6, 1, "", "wvWinVista", true},
                {2, 10, 0, "", "wvUnknown", true}};
    for (const Row& r : rows) {
        vsk::test::FakeVersion v(r.platform, r.major, r.minor, r.sp);
        EXPECT_EQ(GetWindowsVersionName(), r.name) << r.major << "." << r.minor;
        EXPECT_EQ(UsesCoreAudioPath(), r.coreAudio) << r.major << "." << r.minor;
    }
}
