// The system volume through the main window: saving, applying and
// restoring it on both paths, the indicator, the desired-volume controls,
// the test sound (also while windows are hidden), and hiding without any
// sound device. Core Audio levels are checked against a fake endpoint,
// since Wine's cannot set a level; mute, the mixer and the missing device
// run against Wine itself.
#include <initguid.h>
#include <mmdeviceapi.h>
#include <endpointvolume.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "AppFixture.h"
#include "controls/ZevScroller.h"
#include "core/Audio.h"
#include "core/AudioUnit.h"
#include "core/HiddenWindows.h"
#include "core/VolumeScale.h"
#include "support/Owned.h"
#include "ui/HintWindow.h"
#include "support/FakeAudio.h"
#include "support/FixtureWindows.h"

using vsk::test::FakeEndpoint;
using vsk::test::FakeMixer;
using vsk::test::FakeVersion;

namespace {

constexpr int kMax = 65535;

float Level(int volume) { return static_cast<float>(volume) / kMax; }

// What the test sound found when it played.
struct AtPlay {
    static inline int plays = 0;
    static inline std::string caption, file;
    static inline float level = -1;
    static inline BOOL mute = FALSE;
    static inline FakeEndpoint* endpoint = nullptr;
    static void Player(const std::string& fileName) {
        ++plays;
        file = fileName;
        caption = MainForm->btnTestSound->Caption();
        if (endpoint) level = endpoint->Level, mute = endpoint->Mute;
    }
    static void Reset(FakeEndpoint* e) {
        plays = 0;
        caption.clear();
        level = -1;
        endpoint = e;
    }
};

class SoundTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        core::DesiredVolume = 0xFFFF;
        core::DesiredMuted = false;
        core::SetSavedVolumeState({{0, 0}, false, false, false});
    }
    void TearDown() override {
        core::SetSoundPlayer(nullptr);
        AppTest::TearDown();
    }
    // The user's volume 0.8, the desired one 16384 muted, and a player that
    // notes what it found.
    static void PrepareTestSound(FakeEndpoint& e) {
        e.Level = 0.8f;
        AtPlay::Reset(&e);
        core::SetSoundPlayer(&AtPlay::Player);
        core::DesiredVolume = 16384;
        core::DesiredMuted = true;
    }
    static bool NoSoundRun() {
        const char* v = std::getenv("VSK_SOUND");
        return v && std::string(v) == "none";
    }
};

}  // namespace

TEST_F(SoundTest, CoreAudioSaveApplyRestoreRoundTripLevelAndMute) {
    FakeVersion win10(2, 10, 0);
    struct Case {
        float start;
        BOOL startMute;
        uint16_t saved;
        uint16_t desired;
        bool desiredMute;
    } cases[] = {
        {0.5f, FALSE, 32768, 16384, true},
        {1.0f, TRUE, 65535, 0, false},
        {0.0f, FALSE, 0, 65535, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("start level " + std::to_string(c.start));
        FakeEndpoint e;
        e.Level = c.start;
        e.Mute = c.startMute;
        core::DesiredVolume = c.desired;
        core::DesiredMuted = c.desiredMute;
        core::SaveSystemVolume(kMax);
        EXPECT_EQ(core::SavedVolume[0], c.saved);
        EXPECT_EQ(core::SavedMuted, c.startMute != FALSE);
        core::ApplyDesiredVolume(kMax);
        EXPECT_FLOAT_EQ(e.Level, Level(c.desired));
        EXPECT_EQ(e.Mute != FALSE, c.desiredMute);
        core::RestoreSystemVolume(kMax);
        EXPECT_NEAR(e.Level, c.start, 0.5 / kMax);
        EXPECT_EQ(e.Mute != FALSE, c.startMute != FALSE);
        EXPECT_EQ(e.References(), 0) << "an interface was not released";
    }
}

TEST_F(SoundTest, TheRecordOfAHideBringsTheSoundBackAtTheNextStart) {
    FakeVersion win10(2, 10, 0);
    FakeEndpoint e;
    e.Level = 0.6f;
    core::DesiredVolume = 0;
    core::DesiredMuted = true;
    FixtureWindows w({"Hidden with the sound|||"});
    Toggle(w);
    ASSERT_TRUE(e.Mute);
    std::ifstream in(HiddenListFileName, std::ios::binary);
    const std::string record{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    in.close();
    Toggle(w);
    // Ended by force while hidden: the sound stays as the hide set it.
    e.Level = 0.0f;
    e.Mute = TRUE;
    std::ofstream(HiddenListFileName, std::ios::binary) << record;
    core::RecoverHiddenWindows(HiddenListFileName);
    EXPECT_NEAR(e.Level, 0.6f, 1.0 / kMax);
    EXPECT_FALSE(e.Mute);

    // A failure that ends the program while hidden shows the windows, and
    // leaves the sound to the next start.
    Toggle(w);
    ASSERT_TRUE(e.Mute);
    core::ShowRecordedWindowsNow();
    EXPECT_TRUE(w.CaughtUp());
    EXPECT_TRUE(IsWindowVisible(w[0]));
    e.Level = 0.0f;
    EXPECT_EQ(core::RecoverHiddenWindows(HiddenListFileName), 0) << "a window shown again by the failure";
    EXPECT_NEAR(e.Level, 0.6f, 1.0 / kMax) << "the failure lost the sound";
    EXPECT_FALSE(e.Mute);
    EXPECT_EQ(GetFileAttributesA(HiddenListFileName.c_str()), INVALID_FILE_ATTRIBUTES);

    // A hide that found no window to take keeps the sound all the same.
    core::WriteHiddenRecord(HiddenListFileName, {});
    core::RecordSavedVolume({true, true, false, {10, 10}, kMax});
    e.Level = 0.0f;
    core::RecoverHiddenWindows(HiddenListFileName);
    EXPECT_NEAR(e.Level, 10.0 / kMax, 1.0 / kMax) << "the sound of a hide with no window was not kept";
}

TEST_F(SoundTest, CoreAudioFailuresTouchOnlyWhatWasRead) {
    FakeVersion vista(2, 6, 0);
    {
        // The level cannot be set: the mute state is left alone.
        FakeEndpoint e;
        e.FailSetLevel = true;
        core::DesiredMuted = true;
        core::ApplyDesiredVolume(kMax);
        EXPECT_EQ(e.MuteWrites, 0);
        EXPECT_FALSE(e.Mute);
    }
    for (int failing = 0; failing < 2; ++failing) {
        // A save that could not read leaves the restore nothing to put back.
        SCOPED_TRACE(failing ? "mute read fails" : "level read fails");
        FakeEndpoint e;
        e.Level = 0.3f;
        core::SetSavedVolumeState({{0, 0}, false, true, true});  // a stale earlier save
        e.FailGetLevel = failing == 0;
        e.FailGetMute = failing == 1;
        core::SaveSystemVolume(kMax);
        core::DesiredVolume = 0;
        core::ApplyDesiredVolume(kMax);
        ASSERT_EQ(e.Level, 0.0f);
        core::RestoreSystemVolume(kMax);
        EXPECT_EQ(e.Level, 0.0f) << "the restore silenced the system with a volume never saved";
        EXPECT_EQ(e.LevelWrites, 1);
    }
    {
        // No endpoint at all: nothing happens, the indicator stays.
        FakeEndpoint e;
        e.Absent = true;
        MainForm->SliderGlobalVolume->SetPosition(1234);
        MainForm->btnGetVolume->Click();
        core::SaveSystemVolume(kMax);
        core::ApplyDesiredVolume(kMax);
        core::RestoreSystemVolume(kMax);
        EXPECT_EQ(MainForm->SliderGlobalVolume->Position(), 1234);
        EXPECT_FALSE(core::GetSavedVolumeState().HasVolume);
    }
}

TEST_F(SoundTest, IndicatorFollowsTheSystemVolumeOnBothPaths) {
    {
        FakeVersion win7(2, 6, 1);
        FakeEndpoint e;
        struct Row {
            float level;
            BOOL mute;
            int position;
        } rows[] = {{0.5f, FALSE, 32767}, {0.25f, TRUE, 65535 - 16384}, {1.0f, FALSE, 0}};
        for (const Row& r : rows) {
            e.Level = r.level;
            e.Mute = r.mute;
            MainForm->btnGetVolume->Click();
            EXPECT_EQ(MainForm->SliderGlobalVolume->Position(), r.position) << r.level;
            EXPECT_EQ(MainForm->cbGlobalVolumMuted->Checked(), r.mute != FALSE) << r.level;
        }
        e.Level = 0.75f;
        MainForm->SheetOptionsShow(MainForm->SheetOptions);
        EXPECT_EQ(MainForm->SliderGlobalVolume->Position(), kMax - 49151);
    }
    {
        FakeVersion xp(2, 5, 1);
        FakeMixer mixer;
        mixer.Destinations = {
            {{"Speakers", MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 2, vsk::test::VolumeAndMute(1, 2, 0)}, {}}};
        mixer.Control(1)->Values = {1000, 2001};
        mixer.Control(2)->Values = {1};
        MainForm->btnGetVolume->Click();
        EXPECT_EQ(MainForm->SliderGlobalVolume->Position(), kMax - 1500);
        EXPECT_TRUE(MainForm->cbGlobalVolumMuted->Checked());
        // A line without mute still moves the indicator.
        mixer.Destinations[0].Line.Controls.pop_back();
        mixer.Control(1)->Values = {3000, 3000};
        MainForm->btnGetVolume->Click();
        EXPECT_EQ(MainForm->SliderGlobalVolume->Position(), kMax - 3000);
        EXPECT_FALSE(MainForm->cbGlobalVolumMuted->Checked());
    }
}

// Wine's mixer: the mixer path of older systems round-trips level and mute.
TEST_F(SoundTest, MixerPathRoundTripsOnWinesMixer) {
    if (mixerGetNumDevs() == 0) GTEST_SKIP() << "this run has no sound device";
    FakeVersion xp(2, 5, 1);
    vsk::test::Owned audio{ui::TComponent::Create<core::TAudio>(nullptr)};
    ASSERT_TRUE(audio->MixerSettings()->SetVolume(0, 0, 40000, 40000, false));
    core::DesiredVolume = 1000;
    core::DesiredMuted = true;
    core::SaveSystemVolume(kMax);
    EXPECT_EQ(core::SavedVolume[0], 40000);
    EXPECT_EQ(core::SavedVolume[1], 40000);
    EXPECT_FALSE(core::SavedMuted);
    core::ApplyDesiredVolume(kMax);
    uint16_t l = 0, r = 0;
    bool m = false;
    uint8_t f = 0;
    ASSERT_TRUE(audio->MixerSettings()->GetVolume(0, 0, l, r, m, f));
    EXPECT_EQ(l, 1000);
    EXPECT_TRUE(m);
    MainForm->btnGetVolume->Click();
    EXPECT_EQ(MainForm->SliderGlobalVolume->Position(), kMax - 1000);
    EXPECT_TRUE(MainForm->cbGlobalVolumMuted->Checked());
    core::RestoreSystemVolume(kMax);
    ASSERT_TRUE(audio->MixerSettings()->GetVolume(0, 0, l, r, m, f));
    EXPECT_EQ(l, 40000);
    EXPECT_FALSE(m);
    audio.Free();
}

// Wine's endpoint (the null device): the whole Core Audio path runs against
// it. Wine keeps a mute state per endpoint object and refuses to set the
// level, so what the routines leave is read back through fresh objects.
TEST_F(SoundTest, CoreAudioPathAgainstWinesEndpoint) {
    if (mixerGetNumDevs() == 0) GTEST_SKIP() << "this run has no sound device";
    auto read = [](float& level, BOOL& mute) {
        IAudioEndpointVolume* e = core::GetEndpointVolume();
        ASSERT_NE(e, nullptr) << "the null device gives an endpoint";
        ASSERT_TRUE(SUCCEEDED(e->GetMasterVolumeLevelScalar(&level)));
        ASSERT_TRUE(SUCCEEDED(e->GetMute(&mute)));
        e->Release();
    };
    float level = -1;
    BOOL mute = TRUE;
    read(level, mute);
    core::SaveSystemVolume(kMax);
    EXPECT_TRUE(core::GetSavedVolumeState().HasVolume);
    EXPECT_EQ(core::SavedVolume[0], core::ScaleFromLevel(level, kMax));
    EXPECT_EQ(core::SavedMuted, mute != FALSE);
    core::DesiredMuted = true;
    core::DesiredVolume = 1000;
    core::ApplyDesiredVolume(kMax);
    core::RestoreSystemVolume(kMax);
    read(level, mute);
    MainForm->btnGetVolume->Click();
    EXPECT_EQ(MainForm->SliderGlobalVolume->Position(), kMax - core::ScaleFromLevel(level, kMax));
    EXPECT_EQ(MainForm->cbGlobalVolumMuted->Checked(), mute != FALSE);
}

TEST_F(SoundTest, DesiredVolumeControlsAndTheirLoader) {
    // As the user moves it: the position, then the notification.
    auto userMoveTo = [](int v) {
        MainForm->sliderSelectedVolume->SetPosition(v);
        MainForm->sliderSelectedVolume->Track()->NotifyScroll();
    };
    userMoveTo(kMax - 1000);
    EXPECT_EQ(core::DesiredVolume, 1000);
    userMoveTo(0);
    EXPECT_EQ(core::DesiredVolume, 65535);
    MainForm->cbSelectedVolumeMuted->SetChecked(true);
    EXPECT_TRUE(core::DesiredMuted);
    MainForm->cbSelectedVolumeMuted->SetChecked(false);
    EXPECT_FALSE(core::DesiredMuted);

    core::DesiredVolume = 20000;
    core::DesiredMuted = true;
    MainForm->ShowDesiredVolume();
    EXPECT_EQ(MainForm->sliderSelectedVolume->Position(), kMax - 20000);
    EXPECT_TRUE(MainForm->cbSelectedVolumeMuted->Checked());
    EXPECT_EQ(core::DesiredVolume, 20000) << "showing the loaded value must not write it back";
}

TEST_F(SoundTest, SoundButtonShowsThePanelAndFocusesTheDesiredVolume) {
    FakeVersion win7(2, 6, 1);
    FakeEndpoint e;
    e.Level = 0.5f;
    MainForm->Show();
    MainForm->MainPageControl->SetActivePage(MainForm->SheetOptions);
    EXPECT_EQ(MainForm->SliderGlobalVolume->Position(), 32767) << "showing the page refreshes the indicator";
    e.Level = 1.0f;
    MainForm->btnSoundClick(nullptr);
    EXPECT_EQ(MainForm->SliderGlobalVolume->Position(), 0);
    EXPECT_EQ(GetTopWindow(MainForm->SheetOptions->Handle()), MainForm->pnlSound->Handle());
    EXPECT_TRUE(MainForm->sliderSelectedVolume->Focused());
    MainForm->Hide();
}

TEST_F(SoundTest, TestSoundPlaysAtTheDesiredVolumeAndPutsTheVolumeBack) {
    FakeVersion win7(2, 6, 1);
    FakeEndpoint e;
    PrepareTestSound(e);
    const std::string caption = MainForm->btnTestSound->Caption();
    MainForm->btnTestSound->Click();
    ASSERT_EQ(AtPlay::plays, 1);
    EXPECT_EQ(AtPlay::caption, "Playing sound. Please wait...");
    EXPECT_FLOAT_EQ(AtPlay::level, Level(16384));
    EXPECT_TRUE(AtPlay::mute);
    EXPECT_NE(AtPlay::file.find("\\media\\tada.wav"), std::string::npos) << AtPlay::file;
    EXPECT_EQ(MainForm->btnTestSound->Caption(), caption);
    EXPECT_NEAR(e.Level, 0.8f, 0.5 / kMax);
    EXPECT_FALSE(e.Mute);

    // The system's own player: the missing file ends at once, and all is put back.
    core::SetSoundPlayer(nullptr);
    MainForm->btnTestSound->Click();
    EXPECT_EQ(MainForm->btnTestSound->Caption(), caption);
    EXPECT_NEAR(e.Level, 0.8f, 0.5 / kMax);
}

TEST_F(SoundTest, TestSoundWhileHiddenKeepsTheVolumeSavedAtHide) {
    FakeVersion win7(2, 6, 1);
    FakeEndpoint e;
    PrepareTestSound(e);
    FixtureWindows w({"Sound test window|||"});
    Toggle();
    ASSERT_NE(HiddenWindowList, nullptr);
    EXPECT_FLOAT_EQ(e.Level, Level(16384)) << "hiding applies the desired volume";
    EXPECT_TRUE(e.Mute);

    MainForm->btnTestSound->Click();  // from the main window opened by its hot key
    EXPECT_EQ(AtPlay::plays, 1);
    EXPECT_FLOAT_EQ(AtPlay::level, Level(16384));

    Toggle(w);
    ASSERT_EQ(HiddenWindowList, nullptr);
    EXPECT_NEAR(e.Level, 0.8f, 0.5 / kMax) << "the restore did not bring back the user's own volume";
    EXPECT_FALSE(e.Mute);
    EXPECT_TRUE(IsWindowVisible(w[0]));
}

// Run alone with no sound driver at all (VSK_SOUND=none): the device
// enumerator cannot be made and there is no mixer.
TEST_F(SoundTest, NoSoundDeviceHideAndRestoreWorkAndChangeNothing) {
    if (!NoSoundRun()) GTEST_SKIP() << "runs in the test run without sound";
    EXPECT_EQ(mixerGetNumDevs(), 0u);
    EXPECT_EQ(core::GetEndpointVolume(), nullptr);
    for (bool mixerPath : {false, true}) {
        SCOPED_TRACE(mixerPath ? "mixer" : "Core Audio");
        std::unique_ptr<FakeVersion> xp;
        if (mixerPath) xp = std::make_unique<FakeVersion>(2, 5, 1);
        FixtureWindows w({"No sound window|||"});
        MainForm->SliderGlobalVolume->SetPosition(4321);
        MainForm->btnGetVolume->Click();
        EXPECT_EQ(MainForm->SliderGlobalVolume->Position(), 4321);
        core::DesiredMuted = true;
        Toggle(w);
        ASSERT_NE(HiddenWindowList, nullptr);
        EXPECT_FALSE(IsWindowVisible(w[0]));
        EXPECT_FALSE(core::GetSavedVolumeState().HasVolume);
        MainForm->btnTestSound->Click();
        Toggle(w);
        EXPECT_EQ(HiddenWindowList, nullptr);
        EXPECT_TRUE(IsWindowVisible(w[0]));
    }
}

TEST_F(SoundTest, EveryPartOfTheDesiredVolumeSliderShowsItsHint) {
    const int savedPause = ui::Application->HintPause();
    ui::Application->SetHintPause(50);
    MainForm->SetBounds(20, 20, 640, 347);
    MainForm->Show();
    MainForm->MainPageControl->SetActivePage(MainForm->SheetOptions);
    MainForm->btnSoundClick(nullptr);
    ASSERT_TRUE(vsk::test::WaitShown(MainForm->Handle()));
    auto hint = [] {
        ui::THintWindow* h = ui::Application->HintWindow();
        return h && h->HandleAllocated() && IsWindowVisible(h->Handle()) ? h->Caption() : std::string();
    };
    controls::TZevScroller* slider = MainForm->sliderSelectedVolume;
    // Down the middle of the slider: its arrows, its track and its thumb.
    for (int y = 2; y < slider->Height(); y += 8) {
        SCOPED_TRACE("at " + std::to_string(y) + " pixels from the slider's top");
        SetCursorPos(5, 5);
        ASSERT_TRUE(vsk::test::PumpUntil([&] { return hint().empty(); }));
        const ui::TPoint at = slider->ClientToScreen(ui::TPoint{slider->Width() / 2, y});
        SetCursorPos(at.x, at.y);
        EXPECT_TRUE(vsk::test::PumpUntil([&] { return hint() == "Desired volume level slider"; }, 2000))
            << "the hint shown is \"" << hint() << "\"";
    }
    SetCursorPos(5, 5);
    ui::Application->SetHintPause(savedPause);
    MainForm->Hide();
}
