// The Sound panel of the options page: the indicator of the system volume,
// the desired volume and mute applied when hiding, and the test sound.
#include "app/FormBuilding.h"
#include "app/MainForm.h"
#include "core/AudioUnit.h"

using namespace ui;
using controls::TZevScroller;

namespace {
constexpr int kVolumeMax = 65535;
}

void TMainForm::BuildSoundPage() {
    pnlSound = MakePanel(this, SheetOptions, "pnlSound", alClient);
    pnlSound->SetHelpContext(1012);
    pnlSound->SetVisible(false);  // shown by the Sound button

    gbVolume = Make<controls::TFlatGroupBox>(this, pnlSound, "gbVolume", "Volume settings", 8, 4, 520, 180);
    gbVolume->SetAnchors(akLeft | akTop | akRight);
    auto slider = [&](const char* name, int x) {
        auto* s = Make<TZevScroller>(this, gbVolume, name);
        s->SetKind(controls::tbVertical);
        s->SetMin(0);
        s->SetMax(kVolumeMax);
        s->SetSmallChange(kVolumeMax / 100);
        s->SetLargeChange(kVolumeMax / 10);
        s->SetBounds(x, 20, 24, 120);
        s->SetThumbShowText(false);  // five digits do not fit a thumb 22 pixels wide
        return s;
    };
    SliderGlobalVolume = slider("SliderGlobalVolume", 24);
    SliderGlobalVolume->SetEnabled(false);
    cbGlobalVolumMuted = MakeCheck(gbVolume, "cbGlobalVolumMuted", "Muted", 12, 148, 60);
    cbGlobalVolumMuted->SetEnabled(false);

    sliderSelectedVolume = slider("sliderSelectedVolume", 104);
    GiveHint(sliderSelectedVolume, "Desired volume level slider");
    sliderSelectedVolume->OnChange() = controls::TOnScroll(this, &TMainForm::sliderSelectedVolumeChange);
    cbSelectedVolumeMuted = MakeCheck(gbVolume, "cbSelectedVolumeMuted", "Muted", 92, 148, 60, "Mute the sound.");
    cbSelectedVolumeMuted->OnClick = TNotifyEvent(this, &TMainForm::cbSelevtedVolumeMutedClick);

    btnGetVolume = MakeSpeedButton(gbVolume, "btnGetVolume", "Refresh current volume indicator", 176, 40, 240, 25,
                                   nullptr, &TMainForm::btnGetVolumeClick);
    btnTestSound = MakeSpeedButton(gbVolume, "btnTestSound", "Test desired volume settings", 176, 76, 240, 25, nullptr,
                                   &TMainForm::btnTestSoundClick);

    SheetOptions->OnShow = TNotifyEvent(this, &TMainForm::SheetOptionsShow);
}

void TMainForm::ShowCurrentVolume() {
    int position = 0;
    bool muted = false;
    // A volume that cannot be read leaves the indicator as it was.
    if (!core::ReadVolumeIndicator(VolumeScale(), position, muted)) return;
    SliderGlobalVolume->SetPosition(position);
    cbGlobalVolumMuted->SetChecked(muted);
}

void TMainForm::ShowDesiredVolume() {
    sliderSelectedVolume->SetPosition(sliderSelectedVolume->Max() - core::DesiredVolume);
    cbSelectedVolumeMuted->SetChecked(core::DesiredMuted);
}

void TMainForm::btnGetVolumeClick(TObject*) { ShowCurrentVolume(); }

void TMainForm::btnTestSoundClick(TObject*) {
    const std::string caption = btnTestSound->Caption();
    btnTestSound->SetCaption("Playing sound. Please wait...");
    btnTestSound->Repaint();  // the sound blocks the window until it ends
    // While windows are hidden the volume saved at hide must survive the
    // test, so that the restore brings back the user's own volume.
    const bool hidden = HiddenWindowList != nullptr;
    const core::TSavedVolumeState atHide = core::GetSavedVolumeState();
    const int scale = VolumeScale();
    core::SaveSystemVolume(scale);
    core::ApplyDesiredVolume(scale);
    core::PlayTestSound();
    core::RestoreSystemVolume(scale);
    if (hidden) core::SetSavedVolumeState(atHide);
    btnTestSound->SetCaption(caption);
}

void TMainForm::sliderSelectedVolumeChange(TObject*, int) {
    core::DesiredVolume = static_cast<uint16_t>(sliderSelectedVolume->Max() - sliderSelectedVolume->Position());
}

void TMainForm::cbSelevtedVolumeMutedClick(TObject*) { core::DesiredMuted = cbSelectedVolumeMuted->Checked(); }

void TMainForm::btnSoundClick(TObject*) {
    ShowCurrentVolume();
    ShowOptionsPanel(pnlSound);
    if (gbVolume->Enabled() && sliderSelectedVolume->CanFocus()) sliderSelectedVolume->SetFocus();
}

void TMainForm::SheetOptionsShow(TObject*) { ShowCurrentVolume(); }
