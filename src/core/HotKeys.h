#pragma once
// The three global hot keys: following the held modifiers through the key
// events of the hook library, capturing a key into the focused hot-key edit,
// and matching the state against the configured keys. Nothing here touches
// a window: the main window's keyboard handler feeds each event in, together
// with which hot-key edit has the focus and what the Shortcuts panel shows,
// and acts on the result.
#include <optional>
#include <string>
#include <vector>

#include "core/KeyData.h"

namespace core {

// Scan codes (low byte; the extended bit is ignored, so both keys of a pair
// count alike) by which the modifiers are recognised.
constexpr int ScanCtrl = 29;
constexpr int ScanAlt = 56;
constexpr int ScanLeftShift = 42;
constexpr int ScanRightShift = 54;
constexpr int ScanLeftWin = 91;
constexpr int ScanRightWin = 92;

struct TKeyState {
    bool CtrlDown = false;
    bool AltDown = false;
    bool ShiftDown = false;
    bool WinDown = false;
    std::string PressedKeyName;  // the key of the last key-down; empty after a key-up
};

// The program's key state, for the whole run: written only by the keyboard
// handler (through HandleKeyEvent) and by ResetKeyState.
extern TKeyState KeyState;

void ResetKeyState(TKeyState& State);
void ResetKeyState();  // the program's KeyState

// One hot key as the Shortcuts panel shows it: the modifiers that must be
// held, exactly these and no others, and the key's name as the system spells it.
struct THotKey {
    bool Ctrl = false;
    bool Alt = false;
    bool Shift = false;
    bool Win = false;
    std::string Key;
};

// The three hot keys, initialised to what the settings window shows before
// any settings are read.
struct THotKeySettings {
    THotKey HideWindows{true, false, false, false, "`"};
    THotKey ShowProgram{true, false, false, false, "\\"};
    THotKey ScreenSaver{false, false, false, false, "F12"};
};

// Which hot-key edit of the settings window has the input focus.
enum class THotKeyEdit { None, HideWindows, ShowProgram, ScreenSaver };

// The hot-key edit that had the focus at the last event, and the keys first
// pressed while it had it: a key already down when the edit took the focus
// (the Tab that moved the focus there) is not captured, neither its repeats
// nor its release.
struct TKeyCapture {
    THotKeyEdit Edit = THotKeyEdit::None;
    std::vector<std::string> KeysDown;
};

// The program's capture state, beside KeyState.
extern TKeyCapture KeyCapture;

// When Alt is believed held but the event shows otherwise (a key without the
// Alt context), or shows Alt pressed again (auto-repeat), the release was
// missed: the whole state is cleared. Answers whether it was.
bool ApplyStaleAltRule(TKeyState& State, const TKeyInfo& Key);

// What a key event does to the focused hot-key edit: the new text, or
// nothing when the key is a modifier or is the key of the edit's guard (the
// hide/restore edit is guarded by the program edit, the other two by the
// hide/restore edit), compared without regard to ASCII letter case.
std::optional<std::string> CaptureHotKeyName(THotKeyEdit Focused, const std::string& KeyName,
                                             const THotKeySettings& HotKeys);

// Ctrl, Alt, Shift and the Windows keys, by scan code.
bool IsModifierScanCode(int ScanCode);

// Follows the modifiers and the pressed key through one event.
void UpdateKeyState(TKeyState& State, const TKeyInfo& Key);

// Whether State is exactly this hot key: the same modifiers and the key's
// name, case-sensitive. A hot key without a key never matches: otherwise it
// would fire on every key-up while its modifiers are held.
bool HotKeyMatches(const THotKey& HotKey, const TKeyState& State);

// "Ctrl+", "Alt+", "Shift+", "Win+" for the ticked modifiers, then the key.
std::string HotKeyText(const THotKey& HotKey);
inline std::string GetProgramHotKeyText(const THotKeySettings& HotKeys) { return HotKeyText(HotKeys.ShowProgram); }

struct TKeyEventResult {
    bool Captured = false;                   // a hot-key edit took the event
    std::optional<std::string> NewEditText;  // its new text, when it changes
};

// One key event of a running program: the stale-Alt rule, then either the
// capture into the focused edit (and nothing else; HotKeys serve its guard)
// or the state update. An event not captured is then compared with each
// configured hot key by HotKeyMatches, each when its turn comes: an action
// may run a modal loop in which the key state and the settings change.
TKeyEventResult HandleKeyEvent(TKeyState& State, TKeyCapture& Capture, const TKeyInfo& Key, THotKeyEdit Focused,
                               const THotKeySettings& HotKeys);

}  // namespace core
