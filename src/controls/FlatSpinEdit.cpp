#include "controls/FlatSpinEdit.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

#include "ui/Canvas.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"

namespace controls {

using namespace ui;

namespace {

constexpr TColor ArrowBackground = 0x008080;  // olive: the transparent colour

// The built-in 5 x 5 arrows: a black triangle three rows high on olive.
void LoadArrowPicture(TBitmap* b, const std::string& name) {
    b->SetSize(5, 5);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(ArrowBackground);
    c->FillRect(Rect(0, 0, 5, 5));
    const bool up = name == "FlatUp";
    for (int row = 0; row < 3; ++row) {
        const int y = up ? 1 + row : 3 - row;
        for (int x = 2 - row; x <= 2 + row; ++x) c->SetPixel(x, y, clBlack);
    }
}

}  // namespace

// ================================================================ TTimerSpeedButton

TTimerSpeedButton::TTimerSpeedButton(TComponent* AOwner) : TFlatSpeedButton(AOwner) {}

// Any mouse button starts the timer, but only a left press puts the button
// down, and only a button that is down repeats.
void TTimerSpeedButton::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    TFlatSpeedButton::MouseDown(b, s, x, y);
    if (!allowTimer_) return;
    if (!timer_) {
        timer_ = TComponent::Create<TTimer>(this);
        timer_->OnTimer = TNotifyEvent(this, &TTimerSpeedButton::RepeatTick);
    }
    timer_->SetInterval(400);
    timer_->SetEnabled(true);
}

void TTimerSpeedButton::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    TFlatSpeedButton::MouseUp(b, s, x, y);
    if (timer_) timer_->SetEnabled(false);
}

void TTimerSpeedButton::RepeatTick(TObject*) {
    timer_->SetInterval(100);
    if (ButtonState() != bsDown || !MouseCapture()) return;
    try {
        Click();
    } catch (...) {
        timer_->SetEnabled(false);
        throw;
    }
}

// ================================================================ TSpinButton

TSpinButton::TSpinButton(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle((ControlStyle() & ~(csAcceptsControls | csSetCaption)) | csFramed | csOpaque);
    SetParentColor(true);
    upButton_ = MakeArrowButton();
    downButton_ = MakeArrowButton();
    SetUpGlyph(nullptr);
    SetDownGlyph(nullptr);
    SetBounds(0, 0, 21, 10);
    current_ = upButton_;
}

TTimerSpeedButton* TSpinButton::MakeArrowButton() {
    auto* b = TComponent::Create<TTimerSpeedButton>(this);
    b->OnClick = TNotifyEvent(this, &TSpinButton::ArrowClick);
    b->OnMouseDown = TMouseEvent(this, &TSpinButton::ArrowMouseDown);
    b->SetVisible(true);
    b->SetEnabled(true);
    b->SetAllowTimer(true);
    b->SetParent(this);
    return b;
}

// A bitmap goes to the button's Glyph; none loads the built-in arrow.
void TSpinButton::SetArrowGlyph(TTimerSpeedButton* button, TBitmap* v, const char* name, bool top) {
    if (v) {
        button->SetGlyph(v);
        return;
    }
    TBitmap arrow;
    LoadArrowPicture(&arrow, name);
    button->SetGlyph(&arrow);
    button->SetNumGlyphs(1);
    button->SetMargin(2);
    button->Invalidate();
    button->SetLayout(top ? blGlyphTop : blGlyphBottom);
}

void TSpinButton::SetUpGlyph(TBitmap* v) { SetArrowGlyph(upButton_, v, "FlatUp", true); }
void TSpinButton::SetDownGlyph(TBitmap* v) { SetArrowGlyph(downButton_, v, "FlatDown", false); }

void TSpinButton::SetFocusControl(TWinControl* v) {
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = v;
    if (v) v->FreeNotification(this);
}

// The two halves overlap by one pixel column; the control's own width is
// not consulted.
void TSpinButton::PlaceSpinHalves(int H) {
    if (!upButton_ || !downButton_ || HasState(csLoading)) return;
    upButton_->SetBounds(0, 0, 11, H);
    downButton_->SetBounds(10, 0, 11, H);
}

void TSpinButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    PlaceSpinHalves(AHeight);
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TSpinButton::Resize() {
    TCustomControl::Resize();
    PlaceSpinHalves(Height());
}

void TSpinButton::Loaded() {
    TCustomControl::Loaded();
    PlaceSpinHalves(Height());
}

void TSpinButton::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == focusControl_) focusControl_ = nullptr;
}

void TSpinButton::ArrowClick(TObject* Sender) {
    if (Sender == upButton_ && OnUpClick) OnUpClick(this);
    if (Sender == downButton_ && OnDownClick) OnDownClick(this);
}

void TSpinButton::ArrowMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int, int) {
    if (Button != mbLeft) return;
    SelectArrowButton(static_cast<TTimerSpeedButton*>(Sender));
    if (focusControl_ && focusControl_->TabStop() && focusControl_->CanFocus() && !focusControl_->Focused()) {
        focusControl_->SetFocus();
    } else if (TabStop() && !Focused() && CanFocus()) {
        SetFocus();
    }
}

void TSpinButton::SelectArrowButton(TTimerSpeedButton* b) {
    if (!TabStop() || !CanFocus() || b == current_) return;
    current_ = b;
    if (Focused()) Invalidate();
}

void TSpinButton::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS; return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TCustomControl::WndProc(m);
        current_->Invalidate();
        return;
    }
    TCustomControl::WndProc(m);
}

void TSpinButton::KeyDown(WORD& Key, TShiftState) {
    switch (Key) {
    case VK_SPACE: current_->Click(); break;
    case VK_UP:
        SelectArrowButton(upButton_);
        upButton_->Click();
        break;
    case VK_DOWN:
        SelectArrowButton(downButton_);
        downButton_->Click();
        break;
    }
}

void TSpinButton::Paint() {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

// ================================================================ TFlatSpinEditInteger

TFlatSpinEditInteger::TFlatSpinEditInteger(TComponent* AOwner) : TCustomFlatEdit(AOwner) {
    button_ = TComponent::Create<TSpinButton>(this);
    button_->SetWidth(22);
    button_->SetHeight(10);
    button_->SetVisible(true);
    button_->SetParent(this);
    button_->SetFocusControl(this);
    button_->OnUpClick = TNotifyEvent(this, &TFlatSpinEditInteger::StepUp);
    button_->OnDownClick = TNotifyEvent(this, &TFlatSpinEditInteger::StepDown);
    SetValue(0);
    SetControlStyle(ControlStyle() & ~csSetCaption);
}

TFlatSpinEditInteger::~TFlatSpinEditInteger() { button_ = nullptr; }

void TFlatSpinEditInteger::CreateParams(TCreateParams& p) {
    TCustomFlatEdit::CreateParams(p);
    p.Style |= ES_MULTILINE | WS_CLIPCHILDREN;
}

void TFlatSpinEditInteger::CreateWnd() {
    TCustomFlatEdit::CreateWnd();
    UpdateEditRect();
    PlaceButton();
}

void TFlatSpinEditInteger::Loaded() {
    UpdateEditRect();
    PlaceButton();
    TCustomFlatEdit::Loaded();
}

void TFlatSpinEditInteger::PlaceButton() {
    if (button_) button_->SetBounds(Width() - button_->Width() - 5, 0, button_->Width(), Height() - 6);
}

void TFlatSpinEditInteger::UpdateEditRect() {
    if (!HandleAllocated() || !button_) return;
    RECT r{0, 0, ClientWidth() - button_->Width() - 3, ClientHeight()};
    SendMessageA(handle_, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

int TFlatSpinEditInteger::MinEditHeight() {
    TEXTMETRICA tm{};
    ScopedGetDC dc(nullptr);
    ScopedSelectObject sel(dc, Font()->Handle());
    GetTextMetricsA(dc, &tm);
    return tm.tmHeight + 7;
}

void TFlatSpinEditInteger::Resize() {
    TCustomFlatEdit::Resize();
    const int minHeight = MinEditHeight();
    if (Height() < minHeight) {
        SetHeight(minHeight);
    } else if (button_) {
        PlaceButton();
        UpdateEditRect();
    }
}

int32_t TFlatSpinEditInteger::Value() {
    const std::string s = Text();
    // Optional sign, then decimal digits only.
    size_t i = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
    if (i == s.size() || s.size() > 20) return minValue_;
    for (size_t k = i; k < s.size(); ++k)
        if (s[k] < '0' || s[k] > '9') return minValue_;
    errno = 0;
    long long v = std::strtoll(s.c_str(), nullptr, 10);
    if (errno == ERANGE || v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        return minValue_;
    return static_cast<int32_t>(v);
}

void TFlatSpinEditInteger::SetValue(int64_t v) { SetText(std::to_string(ClampToRange(v))); }

int32_t TFlatSpinEditInteger::ClampToRange(int64_t v) const {
    int64_t lo = minValue_, hi = maxValue_;
    if (minValue_ == maxValue_) {
        lo = std::numeric_limits<int32_t>::min();
        hi = std::numeric_limits<int32_t>::max();
    }
    if (v < lo) return static_cast<int32_t>(lo);
    if (v > hi) return static_cast<int32_t>(hi);
    return static_cast<int32_t>(v);
}

// Computed on 64 bits, so a step past either end of the integer range stops
// at the end instead of wrapping.
void TFlatSpinEditInteger::StepUp(TObject*) {
    if (ReadOnly())
        Beep();
    else
        SetValue(int64_t(Value()) + increment_);
}

void TFlatSpinEditInteger::StepDown(TObject*) {
    if (ReadOnly())
        Beep();
    else
        SetValue(int64_t(Value()) - increment_);
}

void TFlatSpinEditInteger::Beep() { MessageBeep(0); }

void TFlatSpinEditInteger::KeyDown(WORD& Key, TShiftState Shift) {
    if (Key == VK_UP)
        StepUp();
    else if (Key == VK_DOWN)
        StepDown();
    TCustomFlatEdit::KeyDown(Key, Shift);
}

void TFlatSpinEditInteger::KeyPress(char& Key) {
    if (!AcceptsChar(Key)) {
        Key = 0;
        Beep();
    }
    if (Key != 0) TCustomFlatEdit::KeyPress(Key);
}

bool TFlatSpinEditInteger::AcceptsChar(char Key) {
    const auto c = static_cast<unsigned char>(Key);
    char sep[4] = {'.', 0};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sep, sizeof(sep));
    bool valid = Key == sep[0] || Key == '+' || Key == '-' || (Key >= '0' && Key <= '9') || (c < 32 && c != 13);
    if (valid && !editorEnabled_ && (c == 8 || c >= 32)) valid = false;
    return valid;
}

void TFlatSpinEditInteger::WndProc(TMessage& m) {
    if ((m.Msg == WM_PASTE || m.Msg == WM_CUT) && (!editorEnabled_ || ReadOnly())) return;
    TCustomFlatEdit::WndProc(m);
}

void TFlatSpinEditInteger::DoEnter() {
    if (AutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TCustomFlatEdit::DoEnter();
}

void TFlatSpinEditInteger::DoExit() {
    TCustomFlatEdit::DoExit();
    const int32_t v = Value();
    if (ClampToRange(v) != v) SetValue(v);
}

}  // namespace controls
