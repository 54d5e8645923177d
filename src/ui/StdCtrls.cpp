#include "ui/StdCtrls.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "ui/Canvas.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"
#include "ui/Graphic.h"

namespace ui {

namespace {

UINT AlignmentFlag(TAlignment a) {
    switch (a) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
    }
}

// Height of a line of text in the font, measured on the screen.
int FontTextHeight(TFont* font, const char* sample) {
    ScopedGetDC dc(nullptr);
    ScopedSelectObject sel(dc, font->Handle());
    SIZE s{};
    GetTextExtentPoint32A(dc, sample, static_cast<int>(std::strlen(sample)), &s);
    return s.cy;
}

}  // namespace

void Frame3D(TCanvas* Canvas, TRect& r, TColor TopColor, TColor BottomColor, int Width) {
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetStyle(psSolid);
    // Work on the last pixel row and column rather than one past them.
    --r.bottom;
    --r.right;
    for (; Width > 0; --Width) {
        // Polyline leaves out its last point: the top-right and bottom-left
        // corners belong to the bottom colour.
        const TPoint topLeft[3] = {{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}};
        Canvas->Pen()->SetColor(TopColor);
        Canvas->Polyline(std::span<const TPoint>(topLeft, 3));
        const TPoint bottomRight[3] = {{r.right, r.top}, {r.right, r.bottom}, {r.left - 1, r.bottom}};
        Canvas->Pen()->SetColor(BottomColor);
        Canvas->Polyline(std::span<const TPoint>(bottomRight, 3));
        InflateRect(&r, -1, -1);
    }
    ++r.bottom;
    ++r.right;
}

// ================================================================ TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetControlStyle(ControlStyle() | csOpaque | csReplicatable);
    SetBounds(0, 0, 65, 17);
    SetParentColor(true);
}

void TCustomLabel::SetAutoSize(bool v) {
    if (v == autoSize_) return;
    autoSize_ = v;
    AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout v) {
    if (v == layout_) return;
    layout_ = v;
    Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
    if (v == Transparent()) return;
    SetControlStyle(v ? (ControlStyle() & ~csOpaque) : (ControlStyle() | csOpaque));
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool v) {
    if (v == wordWrap_) return;
    wordWrap_ = v;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v) {
    if (v == showAccelChar_) return;
    showAccelChar_ = v;
    AdjustBounds();
    Invalidate();
}

void TAccelTarget::Set(TWinControl* c) {
    if (target_ && target_ != c) holder_->RemoveFreeNotification(target_);
    target_ = c;
    if (c) holder_->FreeNotification(c);
}

void TAccelTarget::Removed(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent == target_) target_ = nullptr;
}

bool TAccelTarget::Focus(char Key, const std::string& Caption) const {
    if (!target_ || !IsAccel(Key, Caption) || !target_->CanFocus()) return false;
    target_->SetFocus();
    return true;
}

void TCustomLabel::SetFocusControl(TWinControl* c) { focusControl_.Set(c); }

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    focusControl_.Removed(AComponent, Operation);
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

UINT TCustomLabel::DrawTextFlags() const {
    return DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0u) | AlignmentFlag(alignment_);
}

void TCustomLabel::DoDrawText(HDC dc, TRect& r, UINT flags) {
    std::string text = Caption();
    // An empty caption (or a lone accelerator mark) still measures one line.
    if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += ' ';
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    ScopedSaveDC saved(dc);
    SelectObject(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    if (!Enabled() && !(flags & DT_CALCRECT)) {
        // The engraved look of disabled text: a highlight shifted by one
        // pixel under the shadow-coloured text.
        OffsetRect(&r, 1, 1);
        SetTextColor(dc, ColorToCOLORREF(clBtnHighlight));
        DrawTextA(dc, text.c_str(), -1, &r, flags);
        OffsetRect(&r, -1, -1);
        SetTextColor(dc, ColorToCOLORREF(clBtnShadow));
        DrawTextA(dc, text.c_str(), -1, &r, flags);
        return;
    }
    SetTextColor(dc, ColorToCOLORREF(Font()->Color()));
    DrawTextA(dc, text.c_str(), -1, &r, flags);
}

void TCustomLabel::AdjustBounds() {
    if (!autoSize_ || HasState(csLoading) || HasState(csDestroying)) return;
    ScopedGetDC dc(nullptr);
    TRect r = Rect(0, 0, wordWrap_ ? Width() : 0, 0);
    DoDrawText(dc, r, DrawTextFlags() | DT_CALCRECT);
    int x = Left();
    // A right-aligned label keeps its right edge where it was.
    if (alignment_ == taRightJustify) x += Width() - r.right;
    SetBounds(x, Top(), r.right, r.bottom);
}

void TCustomLabel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (!Transparent()) {
        c->Brush()->SetColor(Color());
        c->FillRect(r);
    }
    HDC dc = c->Handle();
    const UINT flags = DrawTextFlags();
    if (layout_ != tlTop) {
        TRect calc = r;
        DoDrawText(dc, calc, flags | DT_CALCRECT);
        const int spare = Height() - calc.bottom;
        OffsetRect(&r, 0, layout_ == tlBottom ? spare : spare / 2);
    }
    DoDrawText(dc, r, flags);
}

bool TCustomLabel::DialogChar(char Key) {
    return (Enabled() && showAccelChar_ && focusControl_.Focus(Key, Caption())) || TGraphicControl::DialogChar(Key);
}

void TCustomLabel::TextChanged() {
    TGraphicControl::TextChanged();
    AdjustBounds();
}

void TCustomLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}

// ================================================================ TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TBordered(AOwner) {
    SetControlStyle(csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csFixedHeight);
    SetBounds(0, 0, 121, 25);
    SetTabStop(true);
    SetColor(clWindow);
}

void TCustomEdit::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    CreateSubClass(p, "EDIT");
    p.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    AddBorder(p);
    if (charCase_ == ecUpperCase) p.Style |= ES_UPPERCASE;
    if (charCase_ == ecLowerCase) p.Style |= ES_LOWERCASE;
    if (!hideSelection_) p.Style |= ES_NOHIDESEL;
    if (oemConvert_) p.Style |= ES_OEMCONVERT;
    if (readOnly_) p.Style |= ES_READONLY;
    if (passwordChar_) p.Style |= ES_PASSWORD;
}

void TCustomEdit::CreateWnd() {
    // The text given at creation is no change the user made.
    creating_ = true;
    try {
        TWinControl::CreateWnd();
    } catch (...) {
        creating_ = false;
        throw;
    }
    creating_ = false;
    SendMessageA(handle_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    SendMessageA(handle_, EM_SETMODIFY, modified_, 0);
    if (passwordChar_) SendMessageA(handle_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_), 0);
    AdjustHeight();
}

void TCustomEdit::DestroyWnd() {
    modified_ = SendMessageA(handle_, EM_GETMODIFY, 0, 0) != 0;
    TWinControl::DestroyWnd();
}

void TCustomEdit::AdjustHeight() {
    if (!autoSize_ || BorderStyle() != bsSingle) return;
    TEXTMETRICA tm{};
    {
        ScopedGetDC dc(nullptr);
        ScopedSelectObject sel(dc, Font()->Handle());
        GetTextMetricsA(dc, &tm);
    }
    // The text plus the border and the margins the edit keeps above and
    // below it.
    const int frame = GetSystemMetrics(SM_CYBORDER) * (Ctl3D() ? 8 : 6);
    SetHeight(tm.tmHeight + frame);
}

void TCustomEdit::SetAutoSize(bool v) {
    if (v == autoSize_) return;
    autoSize_ = v;
    SetControlStyle(v ? (ControlStyle() | csFixedHeight) : (ControlStyle() & ~csFixedHeight));
    AdjustHeight();
}

void TCustomEdit::FrameChanged() {
    RecreateWnd();
    AdjustHeight();
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
    if (v == charCase_) return;
    charCase_ = v;
    RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool v) {
    if (v == hideSelection_) return;
    hideSelection_ = v;
    RecreateWnd();
}

void TCustomEdit::SetOEMConvert(bool v) {
    if (v == oemConvert_) return;
    oemConvert_ = v;
    RecreateWnd();
}

void TCustomEdit::SetMaxLength(int v) {
    maxLength_ = std::max(v, 0);
    if (HandleAllocated()) SendMessageA(handle_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomEdit::SetReadOnly(bool v) {
    readOnly_ = v;
    if (HandleAllocated()) SendMessageA(handle_, EM_SETREADONLY, v, 0);
}

void TCustomEdit::SetPasswordChar(char v) {
    if (v == passwordChar_) return;
    passwordChar_ = v;
    if (HandleAllocated()) {
        // 0 takes ES_PASSWORD away again, any other character sets it.
        SendMessageA(handle_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(v), 0);
        InvalidateRect(handle_, nullptr, TRUE);
    }
}

bool TCustomEdit::Modified() {
    if (HandleAllocated()) return SendMessageA(handle_, EM_GETMODIFY, 0, 0) != 0;
    return modified_;
}

void TCustomEdit::SetModified(bool v) {
    if (HandleAllocated())
        SendMessageA(handle_, EM_SETMODIFY, v, 0);
    else
        modified_ = v;
}

int TCustomEdit::SelStart() {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int v) { SendMessageA(Handle(), EM_SETSEL, v, v); }

int TCustomEdit::SelLength() {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int v) {
    const int start = SelStart();
    SendMessageA(Handle(), EM_SETSEL, start, start + v);
}

std::string TCustomEdit::SelText() {
    const int start = SelStart(), len = SelLength();
    const std::string text = Text();
    if (start < 0 || static_cast<size_t>(start) >= text.size()) return "";
    return text.substr(static_cast<size_t>(start), static_cast<size_t>(len));
}

void TCustomEdit::SetSelText(const std::string& v) {
    SendMessageA(Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(v.c_str()));
}

void TCustomEdit::SelectAll() {
    if (HandleAllocated()) SendMessageA(handle_, EM_SETSEL, 0, -1);
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_COMMAND:
        if (HIWORD(m.WParam) == EN_CHANGE && !creating_) Change();
        return;
    case CM_ENTER:
        // Focus that came with a click leaves the caret where the click put it.
        if (autoSelect_ && !(ControlState() & csLButtonDown) && GetKeyState(VK_LBUTTON) >= 0 &&
            !(GetWindowLongPtrA(handle_, GWL_STYLE) & ES_MULTILINE))
            SelectAll();
        break;
    }
    TWinControl::WndProc(m);
}

void TCustomEdit::FontChanged() {
    TWinControl::FontChanged();
    AdjustHeight();
}

// ================================================================ TCustomMemo

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
    SetAutoSize(false);
    SetBounds(0, 0, 185, 89);
}

void TCustomMemo::CreateParams(TCreateParams& p) {
    TCustomEdit::CreateParams(p);
    // Lines wrap at the right edge instead of scrolling sideways.
    p.Style = (p.Style & ~ES_AUTOHSCROLL) | ES_MULTILINE | ES_WANTRETURN;
}

// ================================================================ TItemsControl

TItemsControl::TItemsControl(TComponent* AOwner, UINT AddMsg, UINT GetSelMsg, UINT SetSelMsg)
    : TWinControl(AOwner), add_(AddMsg), getSel_(GetSelMsg), setSel_(SetSelMsg) {
    SetTabStop(true);
    SetColor(clWindow);
}

void TItemsControl::AddItem(const std::string& s) {
    items_.push_back(s);
    if (handle_) SendMessageA(handle_, add_, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

int TItemsControl::ItemIndex() const {
    return handle_ ? static_cast<int>(SendMessageA(handle_, getSel_, 0, 0)) : index_;
}

void TItemsControl::SetItemIndex(int v) {
    index_ = v;
    if (handle_) SendMessageA(handle_, setSel_, static_cast<WPARAM>(v), 0);
}

void TItemsControl::CreateWnd() {
    TWinControl::CreateWnd();
    for (const std::string& s : items_) SendMessageA(handle_, add_, 0, reinterpret_cast<LPARAM>(s.c_str()));
    SendMessageA(handle_, setSel_, static_cast<WPARAM>(index_), 0);
}

void TItemsControl::DestroyWnd() {
    index_ = ItemIndex();
    TWinControl::DestroyWnd();
}

// ================================================================ TCustomCombo

TCustomCombo::TCustomCombo(TComponent* AOwner) : TItemsControl(AOwner, CB_ADDSTRING, CB_GETCURSEL, CB_SETCURSEL) {
    SetBounds(0, 0, 145, 24);
}

void TCustomCombo::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    CreateSubClass(p, "COMBOBOX");
    static const DWORD styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST};
    p.Style |= styles[style_] | CBS_AUTOHSCROLL | WS_VSCROLL;
    // The window's height of the drop-down styles includes the list's; the
    // system keeps the closed control at the height of its edit field.
    if (style_ != csSimple) p.Height += 120;
}

void TCustomCombo::SetStyle(TComboBoxStyle v) {
    if (v == style_) return;
    style_ = v;
    RecreateWnd();
}

bool TCustomCombo::DroppedDown() { return HandleAllocated() && SendMessageA(handle_, CB_GETDROPPEDSTATE, 0, 0) != 0; }

void TCustomCombo::SetDroppedDown(bool v) {
    if (style_ != csSimple) SendMessageA(Handle(), CB_SHOWDROPDOWN, v, 0);
}

// ================================================================ TCustomListBox

TCustomListBox::TCustomListBox(TComponent* AOwner) : TBordered(AOwner, LB_ADDSTRING, LB_GETCURSEL, LB_SETCURSEL) {
    SetBounds(0, 0, 121, 97);
}

void TCustomListBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    CreateSubClass(p, "LISTBOX");
    p.Style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
    AddBorder(p);
}

// ================================================================ TButtonControl

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    // The system's button takes the mouse itself and reports the click.
    SetControlStyle(csSetCaption | csDoubleClicks);
}

// ================================================================ TButton

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    CreateSubClass(p, "BUTTON");
    p.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    p.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TButton::SetDefault(bool v) {
    if (v == default_) return;
    default_ = v;
    if (HandleAllocated()) SendMessageA(handle_, BM_SETSTYLE, v ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

bool TButton::TakesEnter() const {
    TCustomForm* form = GetParentForm();
    TWinControl* focused = form ? form->ActiveControl() : nullptr;
    if (dynamic_cast<TButton*>(focused)) return focused == this;
    return default_;
}

void TButton::Click() {
    if (TCustomForm* form = GetParentForm()) form->SetModalResult(modalResult_);
    TButtonControl::Click();
}

void TButton::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_COMMAND:
        if (HIWORD(m.WParam) == BN_CLICKED) Click();
        return;
    case CM_DIALOGKEY:
        if (((m.WParam == VK_RETURN && TakesEnter()) || (m.WParam == VK_ESCAPE && cancel_)) &&
            KeyDataToShiftState(m.LParam) == 0 && CanFocus()) {
            Click();
            m.Result = 1;
            return;
        }
        break;
    }
    TButtonControl::WndProc(m);
}

bool TButton::DialogChar(char Key) {
    if (IsAccel(Key, Caption()) && CanFocus()) {
        Click();
        return true;
    }
    return TButtonControl::DialogChar(Key);
}

// ================================================================ TCustomCheckBox

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
}

void TCustomCheckBox::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    CreateSubClass(p, "BUTTON");
    // Not BS_AUTO3STATE: the toggling is ours (Toggle), so that a click and
    // a write to State run the same code.
    p.Style |= BS_3STATE;
    if (BoxAtRight(BiDiMode(), alignment_)) p.Style |= BS_LEFTTEXT;
    if (UseRightToLeftReading()) p.ExStyle |= WS_EX_RTLREADING;
    p.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomCheckBox::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageA(handle_, BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCustomCheckBox::SetState(TCheckBoxState v) {
    if (v == state_) return;
    state_ = v;
    if (HandleAllocated()) SendMessageA(handle_, BM_SETCHECK, static_cast<WPARAM>(state_), 0);
    if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::SetAlignment(TAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    RecreateWnd();
}

void TCustomCheckBox::Toggle() {
    switch (state_) {
    case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

void TCustomCheckBox::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_COMMAND:
        if (HIWORD(m.WParam) == BN_CLICKED) Toggle();
        return;
    }
    TButtonControl::WndProc(m);
}

bool TCustomCheckBox::DialogChar(char Key) {
    if (IsAccel(Key, Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        return true;
    }
    return TButtonControl::DialogChar(Key);
}

// ================================================================ TRadioButton

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    CreateSubClass(p, "BUTTON");
    // Not BS_AUTORADIOBUTTON: the system would only uncheck siblings in the
    // same dialog group; ours go by parent (SetChecked).
    p.Style |= BS_RADIOBUTTON;
    if (BoxAtRight(BiDiMode(), alignment_)) p.Style |= BS_LEFTTEXT;
    if (UseRightToLeftReading()) p.ExStyle |= WS_EX_RTLREADING;
    p.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TRadioButton::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageA(handle_, BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    // Tab reaches the checked button of a group only.
    SetTabStop(v);
    if (HandleAllocated()) SendMessageA(handle_, BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!v) return;
    if (TWinControl* p = Parent()) {
        for (int i = 0; i < p->ControlCount(); ++i) {
            auto* sibling = dynamic_cast<TRadioButton*>(p->Controls(i));
            if (sibling && sibling != this) sibling->SetChecked(false);
        }
    }
    if (!ClicksDisabled()) Click();
}

void TRadioButton::SetAlignment(TAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    RecreateWnd();
}

void TRadioButton::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_COMMAND:
        switch (HIWORD(m.WParam)) {
        case BN_CLICKED: SetChecked(true); break;
        case BN_DOUBLECLICKED: DblClick(); break;
        }
        return;
    }
    TButtonControl::WndProc(m);
}

bool TRadioButton::DialogChar(char Key) {
    if (IsAccel(Key, Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) SetChecked(true);
        return true;
    }
    return TButtonControl::DialogChar(Key);
}

// ================================================================ TCustomGroupBox

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks |
                    csReplicatable);
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    CreateSubClass(p, "BUTTON");
    p.Style |= BS_GROUPBOX;
    // With the parent's DC the frame would paint over the child windows.
    p.WindowClass.style &= ~CS_PARENTDC;
}

void TCustomGroupBox::Ctl3DChanged() {
    TWinControl::Ctl3DChanged();
    AlignControls();
    Invalidate();
}

void TCustomGroupBox::AdjustClientRect(TRect& r) {
    TWinControl::AdjustClientRect(r);
    // Below the caption line, inside the frame.
    r.top += FontTextHeight(Font(), "0");
    InflateRect(&r, -1, -1);
    if (Ctl3D()) InflateRect(&r, -1, -1);
}

void TCustomGroupBox::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_NCHITTEST:
        // The system's group box is transparent to the mouse, which would
        // hand clicks on it and on its labels to the window beneath.
        m.Result = DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam);
        return;
    }
    TWinControl::WndProc(m);
}

bool TCustomGroupBox::DialogChar(char Key) {
    if (IsAccel(Key, Caption()) && CanFocus()) {
        if (TWinControl* first = FindNextControl(nullptr, true, true, false)) first->SetFocus();
        return true;
    }
    return TWinControl::DialogChar(Key);
}

// The caption's height sets the client area's top.
void TCustomGroupBox::TextChanged() {
    TWinControl::TextChanged();
    AlignControls();
}

void TCustomGroupBox::FontChanged() {
    TWinControl::FontChanged();
    AlignControls();
}

// ================================================================ TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks |
                    csReplicatable);
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomPanel::BevelsChanged() {
    AlignControls();
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut v) {
    if (v == bevelInner_) return;
    bevelInner_ = v;
    BevelsChanged();
}

void TCustomPanel::SetBevelOuter(TBevelCut v) {
    if (v == bevelOuter_) return;
    bevelOuter_ = v;
    BevelsChanged();
}

void TCustomPanel::SetBevelWidth(int v) {
    v = std::max(v, 1);
    if (v == bevelWidth_) return;
    bevelWidth_ = v;
    BevelsChanged();
}

void TCustomPanel::SetBorderWidth(int v) {
    v = std::max(v, 0);
    if (v == borderWidth_) return;
    borderWidth_ = v;
    BevelsChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    RecreateWnd();
    AlignControls();
}

void TCustomPanel::AdjustClientRect(TRect& r) {
    TCustomControl::AdjustClientRect(r);
    int inset = borderWidth_;
    if (bevelOuter_ != bvNone) inset += bevelWidth_;
    if (bevelInner_ != bvNone) inset += bevelWidth_;
    InflateRect(&r, -inset, -inset);
}

void TCustomPanel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        const bool lowered = cut == bvLowered;
        Frame3D(c, r, lowered ? clBtnShadow : clBtnHighlight, lowered ? clBtnHighlight : clBtnShadow, bevelWidth_);
    };
    bevel(bevelOuter_);
    Frame3D(c, r, Color(), Color(), borderWidth_);
    bevel(bevelInner_);
    c->Brush()->SetColor(Color());
    c->FillRect(r);

    const std::string caption = Caption();
    if (caption.empty()) return;
    HDC dc = c->Handle();
    ScopedSaveDC saved(dc);
    SelectObject(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToCOLORREF(Font()->Color()));
    SIZE line{};
    GetTextExtentPoint32A(dc, "W", 1, &line);
    r.top = (r.top + r.bottom - line.cy) / 2;
    r.bottom = r.top + line.cy;
    DrawTextA(dc, caption.c_str(), -1, &r, DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | AlignmentFlag(alignment_));
}

// ================================================================ TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), picture_(new TPicture) {
    SetControlStyle(ControlStyle() | csReplicatable);
    SetBounds(0, 0, 105, 105);
    picture_->OnChange = TNotifyEvent(this, &TImage::PictureChanged);
}

TImage::~TImage() = default;

void TImage::SetPicture(TPicture* v) { picture_->Assign(v); }

void TImage::SetStretch(bool v) {
    if (v == stretch_) return;
    stretch_ = v;
    PictureChanged(this);
}

void TImage::SetCenter(bool v) {
    if (v == center_) return;
    center_ = v;
    PictureChanged(this);
}

void TImage::SetProportional(bool v) {
    if (v == proportional_) return;
    proportional_ = v;
    PictureChanged(this);
}

void TImage::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    PictureChanged(this);
}

void TImage::SetAutoSize(bool v) {
    if (v == autoSize_) return;
    autoSize_ = v;
    if (v) PictureChanged(this);
}

TRect TImage::DestRect() {
    int w = picture_->Width(), h = picture_->Height();
    const int cw = Width(), ch = Height();
    if (stretch_ || (proportional_ && (w > cw || h > ch))) {
        if (proportional_ && w > 0 && h > 0) {
            // The largest size of the picture's shape that fits.
            if (static_cast<long long>(w) * ch > static_cast<long long>(h) * cw) {
                h = static_cast<int>(static_cast<long long>(h) * cw / w);
                w = cw;
            } else {
                w = static_cast<int>(static_cast<long long>(w) * ch / h);
                h = ch;
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect r = Rect(0, 0, w, h);
    if (center_) OffsetRect(&r, (cw - w) / 2, (ch - h) / 2);
    return r;
}

void TImage::Paint() {
    TGraphic* g = picture_->Graphic();
    if (!g || g->Empty()) return;
    // Drawing may make the graphic report a change (a bitmap's canvas):
    // that must not invalidate the image again while it paints.
    drawing_ = true;
    try {
        Canvas()->StretchDraw(DestRect(), g);
    } catch (...) {
        drawing_ = false;
        throw;
    }
    drawing_ = false;
}

void TImage::PictureChanged(TObject*) {
    if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
        SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
    bool opaque = false;
    if (TGraphic* g = picture_->Graphic()) {
        g->SetTransparent(transparent_);
        const TRect d = DestRect();
        // Only a picture that covers the whole image hides what lies beneath.
        opaque =
            !g->Empty() && !g->Transparent() && d.left <= 0 && d.top <= 0 && d.right >= Width() && d.bottom >= Height();
    }
    SetControlStyle(opaque ? (ControlStyle() | csOpaque) : (ControlStyle() & ~csOpaque));
    if (!drawing_) Invalidate();
}

}  // namespace ui
