#include <gtest/gtest.h>

#include <vector>

#include "core/HotKeys.h"

using namespace core;

namespace {

// Key data as the hook library sends it, with the name the system would give.
TKeyInfo Key(int scan, bool down, std::string name, bool contextAlt = false, bool wasDown = false) {
    TKeyInfo k;
    k.RepeatCount = 1;
    k.ScanCode = scan;
    k.IsDown = down;
    k.WasDown = down ? wasDown : true;
    k.ContextAlt = contextAlt;
    k.KeyName = std::move(name);
    return k;
}
TKeyInfo Down(int scan, std::string name, bool alt = false) { return Key(scan, true, std::move(name), alt); }
TKeyInfo Repeat(int scan, std::string name, bool alt = false) { return Key(scan, true, std::move(name), alt, true); }
TKeyInfo Up(int scan, std::string name, bool alt = false) { return Key(scan, false, std::move(name), alt); }

constexpr int ScanGrave = 0x29, ScanBackslash = 0x2B, ScanF12 = 0x58, ScanA = 0x1E;

std::string Describe(const TKeyState& s) {
    return std::string("Ctrl=") + (s.CtrlDown ? "1" : "0") + " Alt=" + (s.AltDown ? "1" : "0") +
           " Shift=" + (s.ShiftDown ? "1" : "0") + " Win=" + (s.WinDown ? "1" : "0") + " Key='" + s.PressedKeyName +
           "'";
}

TEST(HotKeys, ModifiersFollowTheirScanCodesOnBothSides) {
    struct Case {
        int scan;
        bool TKeyState::*flag;
        const char* name;
    };
    const Case cases[] = {
        {ScanCtrl, &TKeyState::CtrlDown, "Ctrl"},           {ScanAlt, &TKeyState::AltDown, "Alt"},
        {ScanLeftShift, &TKeyState::ShiftDown, "Shift"},    {ScanRightShift, &TKeyState::ShiftDown, "Right Shift"},
        {ScanLeftWin, &TKeyState::WinDown, "Left Windows"}, {ScanRightWin, &TKeyState::WinDown, "Right Windows"},
    };
    for (const auto& c : cases) {
        TKeyState s;
        UpdateKeyState(s, Down(c.scan, c.name));
        EXPECT_TRUE(s.*c.flag) << c.name << " down: " << Describe(s);
        EXPECT_EQ(s.PressedKeyName, c.name) << "a modifier's press names the pressed key too";
        UpdateKeyState(s, Up(c.scan, c.name));
        EXPECT_FALSE(s.*c.flag) << c.name << " up: " << Describe(s);
        EXPECT_EQ(s.PressedKeyName, "") << "a key-up empties the pressed key";
    }
    TKeyState s;
    TKeyInfo rightCtrl = Down(ScanCtrl, "Right Ctrl");
    rightCtrl.Extended = true;
    UpdateKeyState(s, rightCtrl);
    EXPECT_TRUE(s.CtrlDown) << "the extended flag must not matter";
    UpdateKeyState(s, Down(ScanA, "A"));
    EXPECT_TRUE(s.CtrlDown) << "another key leaves the modifiers alone";
    EXPECT_EQ(s.PressedKeyName, "A");
}

TEST(HotKeys, StaleAltRuleClearsEverything) {
    struct Case {
        const char* what;
        bool altDown;
        TKeyInfo key;
        bool resets;
    };
    const Case cases[] = {
        {"key without Alt context: Alt was released unseen", true, Down(ScanA, "A"), true},
        {"key with Alt context while Alt held", true, Down(ScanA, "A", true), false},
        {"Alt pressed again with context (auto-repeat)", true, Repeat(ScanAlt, "Alt", true), true},
        {"Alt released without context", true, Up(ScanAlt, "Alt"), false},
        {"Alt not held: nothing to go stale", false, Down(ScanA, "A"), false},
        {"Alt not held, Alt press with context", false, Down(ScanAlt, "Alt", true), false},
    };
    for (const auto& c : cases) {
        TKeyState s{true, c.altDown, true, true, "B"};
        EXPECT_EQ(ApplyStaleAltRule(s, c.key), c.resets) << c.what;
        if (c.resets) {
            EXPECT_FALSE(s.CtrlDown || s.AltDown || s.ShiftDown || s.WinDown) << c.what << ": " << Describe(s);
            EXPECT_EQ(s.PressedKeyName, "") << c.what;
        } else {
            EXPECT_TRUE(s.CtrlDown && s.ShiftDown && s.WinDown) << c.what << ": " << Describe(s);
        }
    }
}

TEST(HotKeys, AltAutoRepeatDropsTheOtherModifiersButKeepsAlt) {
    TKeyState s;
    TKeyCapture capture;
    const THotKeySettings hk;
    for (const TKeyInfo& k : {Down(ScanCtrl, "Ctrl"), Down(ScanLeftShift, "Shift"), Down(ScanLeftWin, "Left Windows"),
                              Down(ScanAlt, "Alt", true), Repeat(ScanAlt, "Alt", true)}) {
        HandleKeyEvent(s, capture, k, THotKeyEdit::None, hk);
    }
    EXPECT_TRUE(s.AltDown) << Describe(s);
    EXPECT_FALSE(s.CtrlDown || s.ShiftDown || s.WinDown) << Describe(s);
}

TEST(HotKeys, MatchNeedsExactlyTheTickedModifiersAndTheKey) {
    const THotKey ctrlGrave{true, false, false, false, "`"};
    const THotKey allF12{true, true, true, true, "F12"};
    const THotKey noKey{true, false, false, false, ""};
    struct Case {
        const char* what;
        const THotKey& hk;
        TKeyState state;
        bool matches;
    };
    const Case cases[] = {
        {"Ctrl+`", ctrlGrave, {true, false, false, false, "`"}, true},
        {"Ctrl+Shift+` (Shift not ticked)", ctrlGrave, {true, false, true, false, "`"}, false},
        {"` without Ctrl", ctrlGrave, {false, false, false, false, "`"}, false},
        {"Ctrl+Alt+`", ctrlGrave, {true, true, false, false, "`"}, false},
        {"Ctrl+Win+`", ctrlGrave, {true, false, false, true, "`"}, false},
        {"Ctrl with another key", ctrlGrave, {true, false, false, false, "A"}, false},
        {"all four modifiers and F12", allF12, {true, true, true, true, "F12"}, true},
        {"name compared case-sensitively", allF12, {true, true, true, true, "f12"}, false},
        {"a hot key without a key, key-up under Ctrl", noKey, {true, false, false, false, ""}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HotKeyMatches(c.hk, c.state), c.matches) << c.what << " with " << Describe(c.state);
    }
}

// Runs a sequence of events as the keyboard handler does, against the hot
// keys hk, and collects the matches of each event as "H", "P", "S" letters.
std::vector<std::string> Play(const std::vector<TKeyInfo>& keys, const THotKeySettings& hk = {}) {
    TKeyState s;
    TKeyCapture capture;
    std::vector<std::string> out;
    for (const auto& k : keys) {
        EXPECT_FALSE(HandleKeyEvent(s, capture, k, THotKeyEdit::None, hk).Captured);
        out.push_back(std::string(HotKeyMatches(hk.HideWindows, s) ? "H" : "") +
                      (HotKeyMatches(hk.ShowProgram, s) ? "P" : "") + (HotKeyMatches(hk.ScreenSaver, s) ? "S" : ""));
    }
    return out;
}

TEST(HotKeys, SequencesFireOnTheKeyDownOfTheirKey) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Play({Down(ScanCtrl, "Ctrl"), Down(ScanGrave, "`"), Up(ScanGrave, "`"), Up(ScanCtrl, "Ctrl")}),
              (V{"", "H", "", ""}))
        << "Ctrl+` hides the windows once, on the key-down";
    EXPECT_EQ(Play({Down(ScanCtrl, "Ctrl"), Down(ScanGrave, "`"), Repeat(ScanGrave, "`"), Repeat(ScanGrave, "`")}),
              (V{"", "H", "H", "H"}))
        << "every auto-repeat of a held hot key matches again";
    EXPECT_EQ(Play({Down(ScanCtrl, "Ctrl"), Down(ScanLeftShift, "Shift"), Down(ScanGrave, "`")}), (V{"", "", ""}))
        << "Ctrl+Shift+` is not Ctrl+`";
    EXPECT_EQ(Play({Down(ScanCtrl, "Ctrl"), Down(ScanBackslash, "\\"), Down(ScanF12, "F12"), Up(ScanCtrl, "Ctrl"),
                    Down(ScanF12, "F12")}),
              (V{"", "P", "", "", "S"}))
        << "the program and screen-saver hot keys";
    EXPECT_EQ(Play({Down(ScanAlt, "Alt", true), Down(ScanA, "A"), Down(ScanGrave, "`")}), (V{"", "", ""}))
        << "a key without Alt context after Alt clears the state, so Ctrl must be pressed anew";
    THotKeySettings same;
    same.ShowProgram = same.HideWindows;
    EXPECT_EQ(Play({Down(ScanCtrl, "Ctrl"), Down(ScanGrave, "`")}, same), (V{"", "HP"}))
        << "two hot keys set alike both fire";
}

TEST(HotKeys, FocusedEditCapturesTheKeyAndNothingElseHappens) {
    const THotKeySettings hk;  // hide "`", program "\", screen saver "F12"
    struct Case {
        const char* what;
        THotKeyEdit edit;
        std::string name;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {"F12 into the hide/restore edit", THotKeyEdit::HideWindows, "F12", "F12"},
        {"Ctrl is a modifier", THotKeyEdit::HideWindows, "Ctrl", std::nullopt},
        {"Right Alt is a modifier", THotKeyEdit::ShowProgram, "Right Alt", std::nullopt},
        {"Shift, lower case, is a modifier", THotKeyEdit::ScreenSaver, "shift", std::nullopt},
        {"Left Windows is a modifier", THotKeyEdit::HideWindows, "Left Windows", std::nullopt},
        {"the program edit's key", THotKeyEdit::HideWindows, "\\", std::nullopt},
        {"hide/restore edit guards the program edit", THotKeyEdit::ShowProgram, "`", std::nullopt},
        {"screen-saver edit is guarded by the hide/restore key", THotKeyEdit::ScreenSaver, "`", std::nullopt},
        {"... and not by the program key", THotKeyEdit::ScreenSaver, "\\", "\\"},
        {"the name is written as the system spells it", THotKeyEdit::ShowProgram, "Num Lock", "Num Lock"},
        {"no edit focused", THotKeyEdit::None, "F12", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CaptureHotKeyName(c.edit, c.name, hk), c.text) << c.what;
    }

    THotKeySettings lettered;
    lettered.ShowProgram.Key = "Q";
    EXPECT_EQ(CaptureHotKeyName(THotKeyEdit::HideWindows, "q", lettered), std::nullopt)
        << "guard compared without regard to ASCII case";
    lettered.ShowProgram.Key = "\xC9";  // an accented capital in the ANSI code page
    EXPECT_EQ(CaptureHotKeyName(THotKeyEdit::HideWindows, "\xE9", lettered), std::optional<std::string>("\xE9"))
        << "only ASCII letters are upper-cased";

    TKeyState s{true, false, false, false, ""};
    TKeyCapture capture;
    const TKeyEventResult r = HandleKeyEvent(s, capture, Down(ScanGrave, "`"), THotKeyEdit::ScreenSaver, hk);
    EXPECT_TRUE(r.Captured);
    EXPECT_FALSE(HotKeyMatches(hk.HideWindows, s)) << "no hot key fires while an edit captures";
    EXPECT_EQ(s.PressedKeyName, "") << "capturing leaves the key state alone: " << Describe(s);
    HandleKeyEvent(s, capture, Down(ScanF12, "F12"), THotKeyEdit::HideWindows, hk);
    HandleKeyEvent(s, capture, Down(ScanA, "A"), THotKeyEdit::HideWindows, hk);
    const TKeyEventResult up = HandleKeyEvent(s, capture, Up(ScanF12, "F12"), THotKeyEdit::HideWindows, hk);
    EXPECT_EQ(up.NewEditText, std::optional<std::string>("F12")) << "key-ups are captured too";

    // Modifiers whose names do not say so (other languages, other systems)
    // are still not captured.
    for (int scan : {ScanCtrl, ScanAlt, ScanLeftShift, ScanRightShift, ScanLeftWin, ScanRightWin}) {
        const TKeyEventResult m = HandleKeyEvent(s, capture, Down(scan, "Control"), THotKeyEdit::HideWindows, hk);
        EXPECT_TRUE(m.Captured);
        EXPECT_EQ(m.NewEditText, std::nullopt) << "modifier with scan code " << scan << " was captured";
    }
}

TEST(HotKeys, AKeyAlreadyDownWhenTheEditTookTheFocusIsNotCaptured) {
    const THotKeySettings hk;
    constexpr int ScanTab = 0x0F, ScanB = 0x30;
    using E = THotKeyEdit;
    struct Step {
        const char* what;
        E focus;
        TKeyInfo key;
        std::optional<std::string> text;
    };
    const Step steps[] = {
        {"Tab pressed in another control", E::None, Down(ScanTab, "Tab"), std::nullopt},
        {"... moved the focus into the edit: its release", E::HideWindows, Up(ScanTab, "Tab"), std::nullopt},
        {"F12 pressed in the edit", E::HideWindows, Down(ScanF12, "F12"), "F12"},
        {"A pressed while F12 is held", E::HideWindows, Down(ScanA, "A"), "A"},
        {"F12 let go", E::HideWindows, Up(ScanF12, "F12"), "F12"},
        {"A repeats", E::HideWindows, Repeat(ScanA, "A"), "A"},
        {"A let go", E::HideWindows, Up(ScanA, "A"), "A"},
        {"Tab pressed in the edit", E::HideWindows, Down(ScanTab, "Tab"), "Tab"},
        {"... moved the focus to the next edit: its release", E::ShowProgram, Up(ScanTab, "Tab"), std::nullopt},
        {"B pressed in another control", E::None, Down(ScanB, "B"), std::nullopt},
        {"... repeats after a click into the edit", E::ScreenSaver, Repeat(ScanB, "B"), std::nullopt},
        {"... and is let go there", E::ScreenSaver, Up(ScanB, "B"), std::nullopt},
        {"B pressed again in the edit", E::ScreenSaver, Down(ScanB, "B"), "B"},
    };
    TKeyState s;
    TKeyCapture capture;
    for (const Step& step : steps) {
        const TKeyEventResult r = HandleKeyEvent(s, capture, step.key, step.focus, hk);
        EXPECT_EQ(r.Captured, step.focus != E::None) << step.what;
        EXPECT_EQ(r.NewEditText, step.text) << step.what;
    }
}

TEST(HotKeys, TextListsTickedModifiersInFixedOrder) {
    struct Case {
        THotKey hk;
        const char* text;
    };
    const Case cases[] = {
        {{true, false, false, false, "\\"}, "Ctrl+\\"}, {{true, true, true, true, "F12"}, "Ctrl+Alt+Shift+Win+F12"},
        {{false, true, false, true, "A"}, "Alt+Win+A"}, {{false, false, true, false, "`"}, "Shift+`"},
        {{false, false, false, false, "F1"}, "F1"},
    };
    for (const auto& c : cases) EXPECT_EQ(HotKeyText(c.hk), c.text);
    THotKeySettings hk;
    hk.ShowProgram = {false, true, true, false, "P"};
    EXPECT_EQ(GetProgramHotKeyText(hk), "Alt+Shift+P");
}

}  // namespace
