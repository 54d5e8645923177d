#include "controls/FlatSpinEdit.h"

#include <windows.h>

#include <climits>

namespace controls {

using namespace ui;

namespace {

// A whole decimal number of 32 bits with an optional sign, nothing else.
bool ParseDecimal(const std::string& s, int& out) {
    size_t i = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
    if (i == s.size()) return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (s[0] == '-') v = -v;
    if (v < INT_MIN || v > INT_MAX) return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

TFlatSpinEditInteger::TFlatSpinEditInteger(TComponent* AOwner) : TCustomEdit(AOwner) {
    SetControlStyle(ControlStyle() & ~csSetCaption);
    SetValue(0);
}

int TFlatSpinEditInteger::Value() {
    int v;
    return ParseDecimal(Text(), v) ? v : minValue_;
}

int TFlatSpinEditInteger::ClampToRange(int v) const {
    if (minValue_ == maxValue_) return v;
    return v < minValue_ ? minValue_ : v > maxValue_ ? maxValue_ : v;
}

void TFlatSpinEditInteger::SetValue(int v) { SetText(std::to_string(ClampToRange(v))); }

void TFlatSpinEditInteger::KeyDown(WORD& Key, TShiftState Shift) {
    // Stepping in 64 bits, so the range's ends cannot overflow.
    const long long step = Key == VK_UP ? increment_ : Key == VK_DOWN ? -static_cast<long long>(increment_) : 0;
    if (step != 0) {
        long long v = static_cast<long long>(Value()) + step;
        v = v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : v;
        SetValue(static_cast<int>(v));
    }
    TCustomEdit::KeyDown(Key, Shift);
}

void TFlatSpinEditInteger::KeyPress(char& Key) {
    const bool accepted = (Key >= '0' && Key <= '9') || Key == '-' || Key == '+' || Key < ' ';
    if (!accepted) {
        Key = 0;
        MessageBeep(0);
    }
    TCustomEdit::KeyPress(Key);
}

void TFlatSpinEditInteger::DoExit() {
    TCustomEdit::DoExit();
    const int v = Value();
    if (ClampToRange(v) != v) SetValue(v);
}

} // namespace controls
