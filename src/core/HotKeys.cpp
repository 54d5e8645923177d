#include "core/HotKeys.h"

#include <algorithm>

namespace core {

TKeyState KeyState;
TKeyCapture KeyCapture;

namespace {

std::string UpperAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

bool NamesModifier(const std::string& upperName) {
    for (const char* part : {"SHIFT", "ALT", "CTRL", "WINDOWS"}) {
        if (upperName.find(part) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

void ResetKeyState(TKeyState& State) { State = TKeyState{}; }

void ResetKeyState() { ResetKeyState(KeyState); }

bool ApplyStaleAltRule(TKeyState& State, const TKeyInfo& Key) {
    if (!State.AltDown) return false;
    const bool altReleasedUnseen = !Key.ContextAlt && Key.ScanCode != ScanAlt;
    const bool altRepeated = Key.ContextAlt && Key.ScanCode == ScanAlt;
    if (altReleasedUnseen || altRepeated) {
        ResetKeyState(State);
        return true;
    }
    return false;
}

std::optional<std::string> CaptureHotKeyName(THotKeyEdit Focused, const std::string& KeyName,
                                             const THotKeySettings& HotKeys) {
    const std::string* guard = nullptr;
    switch (Focused) {
    case THotKeyEdit::None: return std::nullopt;
    case THotKeyEdit::HideWindows: guard = &HotKeys.ShowProgram.Key; break;
    case THotKeyEdit::ShowProgram:
    case THotKeyEdit::ScreenSaver: guard = &HotKeys.HideWindows.Key; break;
    }
    const std::string upper = UpperAscii(KeyName);
    if (NamesModifier(upper) || upper == UpperAscii(*guard)) return std::nullopt;
    return KeyName;
}

void UpdateKeyState(TKeyState& State, const TKeyInfo& Key) {
    switch (Key.ScanCode) {
    case ScanCtrl: State.CtrlDown = Key.IsDown; break;
    case ScanAlt: State.AltDown = Key.IsDown; break;
    case ScanLeftWin:
    case ScanRightWin: State.WinDown = Key.IsDown; break;
    case ScanLeftShift:
    case ScanRightShift: State.ShiftDown = Key.IsDown; break;
    default: break;
    }
    State.PressedKeyName = Key.IsDown ? Key.KeyName : std::string();
}

bool HotKeyMatches(const THotKey& HotKey, const TKeyState& State) {
    return !HotKey.Key.empty() && HotKey.Ctrl == State.CtrlDown && HotKey.Win == State.WinDown &&
           HotKey.Alt == State.AltDown && HotKey.Shift == State.ShiftDown && HotKey.Key == State.PressedKeyName;
}

std::string HotKeyText(const THotKey& HotKey) {
    std::string text;
    if (HotKey.Ctrl) text += "Ctrl+";
    if (HotKey.Alt) text += "Alt+";
    if (HotKey.Shift) text += "Shift+";
    if (HotKey.Win) text += "Win+";
    return text + HotKey.Key;
}

bool IsModifierScanCode(int ScanCode) {
    switch (ScanCode) {
    case ScanCtrl:
    case ScanAlt:
    case ScanLeftShift:
    case ScanRightShift:
    case ScanLeftWin:
    case ScanRightWin: return true;
    }
    return false;
}

TKeyEventResult HandleKeyEvent(TKeyState& State, TKeyCapture& Capture, const TKeyInfo& Key, THotKeyEdit Focused,
                               const THotKeySettings& HotKeys) {
    TKeyEventResult result;
    ApplyStaleAltRule(State, Key);
    if (Focused != Capture.Edit) {
        Capture.Edit = Focused;
        Capture.KeysDown.clear();
    }
    if (Focused != THotKeyEdit::None) {
        result.Captured = true;
        // A modifier is never a hot key's key. Its name alone does not tell:
        // it differs between keyboard layouts and languages ("Strg",
        // "Control"), so the scan code decides too.
        if (IsModifierScanCode(Key.ScanCode)) return result;
        std::vector<std::string>& down = Capture.KeysDown;
        const auto seen = std::find(down.begin(), down.end(), Key.KeyName);
        if (Key.IsDown && !Key.WasDown && seen == down.end())
            down.push_back(Key.KeyName);
        else if (seen == down.end())
            return result;  // pressed before the edit had the focus
        else if (!Key.IsDown)
            down.erase(seen);
        result.NewEditText = CaptureHotKeyName(Focused, Key.KeyName, HotKeys);
        return result;
    }
    UpdateKeyState(State, Key);
    return result;
}

}  // namespace core
