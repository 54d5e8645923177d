// The keyboard road: every key event of the hook library updates the held
// modifiers, or is captured by the focused hot-key edit, and is compared
// with the three hot keys.
#include "app/GlobalUnit.h"
#include "app/MainForm.h"
#include "core/HotKeys.h"
#include "core/ScreenSaver.h"
#include "ui/Application.h"

using namespace ui;

void ResetKeyState() { core::ResetKeyState(); }

void StartScreenSaver() { core::StartScreenSaver(MainForm->cbLockWorkstation->Checked()); }

std::string TMainForm::GetProgramHotKeyText() { return core::HotKeyText(ProgramKeys.Value()); }

void TMainForm::WatchKeyNative(TObject*, WPARAM, LPARAM lParam) {
    if (!ProgramRunning()) return;
    core::TKeyInfo key;
    core::TWatch::DecodeKeyData(static_cast<uint32_t>(lParam), key);
    core::THotKeyEdit focused = core::THotKeyEdit::None;
    controls::TFlatEdit* edit = nullptr;
    if (edHkWindowsKey->Focused())
        focused = core::THotKeyEdit::HideWindows, edit = edHkWindowsKey;
    else if (edHkProgramKey->Focused())
        focused = core::THotKeyEdit::ShowProgram, edit = edHkProgramKey;
    else if (edHKSSaverKey->Focused())
        focused = core::THotKeyEdit::ScreenSaver, edit = edHKSSaverKey;
    // What the Shortcuts panel shows, for the capture's guard only (each
    // check below reads its own hot key again when it runs): read only when
    // a key is being captured, not in the way of every hot key.
    core::THotKeySettings hotKeys;
    if (edit) hotKeys = {HideKeys.Value(), ProgramKeys.Value(), SaverKeys.Value()};

    core::TKeyEventResult r = core::HandleKeyEvent(core::KeyState, core::KeyCapture, key, focused, hotKeys);
    if (r.Captured) {
        if (r.NewEditText && edit) edit->SetText(*r.NewEditText);
        return;
    }
    // An action may run a modal loop (a password prompt, a message) in which
    // the key state and the settings change: each check compares the state
    // as it is when the check runs.
    CheckHideWindowsHotKey();
    CheckShowProgramHotKey();
    CheckScreenSaverHotKey();
}

void TMainForm::CheckHideWindowsHotKey() {
    if (core::HotKeyMatches(HideKeys.Value(), core::KeyState)) btnHideAll->Click();
}

void TMainForm::CheckShowProgramHotKey() {
    if (core::HotKeyMatches(ProgramKeys.Value(), core::KeyState)) ToggleMainWindow(true);
}

void TMainForm::CheckScreenSaverHotKey() {
    if (!core::HotKeyMatches(SaverKeys.Value(), core::KeyState)) return;
    ResetKeyState();
    StartScreenSaver();
}

void TMainForm::edHkWindowsKeyKeyPress(TObject*, char& Key) { Key = 0; }

void TMainForm::WndProc(TMessage& m) {
    if (m.Msg == WM_HELP && (edHkWindowsKey->Focused() || edHkProgramKey->Focused() || edHKSSaverKey->Focused())) {
        m.Result = TRUE;
        return;
    }
    TForm::WndProc(m);
}
