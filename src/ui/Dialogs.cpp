#include "ui/Dialogs.h"

#include <algorithm>
#include <cstring>

#include "ui/Application.h"
#include "ui/GdiGuards.h"
#include "ui/GdiObjects.h"
#include "ui/Graphic.h"
#include "ui/Icon.h"
#include "ui/StdCtrls.h"

namespace ui {

namespace {

TMessageDlgHook gHook;

// ---------------------------------------------------------------- tables

constexpr TMsgDlgBtn kAllButtons[] = {mbYes,    mbNo,  mbOK,      mbCancel,   mbAbort, mbRetry,
                                      mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp};

struct ButtonInfo {
    const char* name;
    const char* caption;
    TModalResult result;
};

ButtonInfo InfoOf(TMsgDlgBtn b) {
    switch (b) {
    case mbYes: return {"Yes", "&Yes", mrYes};
    case mbNo: return {"No", "&No", mrNo};
    case mbOK: return {"OK", "OK", mrOk};
    case mbCancel: return {"Cancel", "Cancel", mrCancel};
    case mbAbort: return {"Abort", "&Abort", mrAbort};
    case mbRetry: return {"Retry", "&Retry", mrRetry};
    case mbIgnore: return {"Ignore", "&Ignore", mrIgnore};
    case mbAll: return {"All", "&All", mrAll};
    case mbNoToAll: return {"NoToAll", "N&o to All", mrNoToAll};
    case mbYesToAll: return {"YesToAll", "Yes to &All", mrYesToAll};
    case mbHelp: return {"Help", "&Help", mrNone};
    }
    return {"", "", mrNone};
}

const char* CaptionOf(TMsgDlgType t) {
    switch (t) {
    case mtWarning: return "Warning";
    case mtError: return "Error";
    case mtInformation: return "Information";
    case mtConfirmation: return "Confirm";
    case mtCustom: break;
    }
    return nullptr;
}

LPCSTR IconOf(TMsgDlgType t) {
    switch (t) {
    case mtWarning: return IDI_WARNING;
    case mtError: return IDI_ERROR;
    case mtInformation: return IDI_INFORMATION;
    case mtConfirmation: return IDI_QUESTION;
    case mtCustom: break;
    }
    return nullptr;
}

// Layout in dialog units (a quarter of the average character width, an
// eighth of the character height), as the system's dialogs measure.
constexpr int kHorzMargin = 8;
constexpr int kVertMargin = 8;
constexpr int kHorzSpacing = 10;
constexpr int kVertSpacing = 10;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonSpacing = 4;
constexpr int kIconSize = 32;
// The message is wrapped so that it takes at most this part of the screen.
constexpr int kMessageWidthDivisor = 2;

// ---------------------------------------------------------------- the form

class TMessageForm : public TForm {
public:
    explicit TMessageForm(TComponent* AOwner) : TForm(AOwner) {}
    void HelpButtonClick(TObject*) {
        if (Application && HelpContext()) Application->HelpContext(HelpContext());
    }
};

// The message as the text of a hidden STATIC window, for tools outside the
// process that look for the dialog by its text.
class TMessageText : public TWinControl {
public:
    explicit TMessageText(TComponent* AOwner) : TWinControl(AOwner) {
        SetControlStyle(ControlStyle() & ~csAcceptsControls);
        SetVisible(false);
    }

protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        CreateSubClass(p, "STATIC");
        p.Style |= SS_NOPREFIX;
    }
};

TFont* MessageFontInto(TFont* font) {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
        if (HFONT h = CreateFontIndirectA(&ncm.lfMessageFont)) font->SetHandle(h);
    }
    return font;
}

// The average character size of the DC's font.
SIZE AverageCharSize(HDC dc) {
    char sample[52];
    for (int i = 0; i < 26; ++i) {
        sample[i] = static_cast<char>('A' + i);
        sample[i + 26] = static_cast<char>('a' + i);
    }
    SIZE s{};
    GetTextExtentPoint32A(dc, sample, 52, &s);
    s.cx /= 52;
    return s;
}

void BuildMessageDialog(TMessageForm* f, const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    f->SetBorderStyle(bsDialog);
    f->SetBorderIcons(biSystemMenu);
    MessageFontInto(f->Font());
    const char* caption = CaptionOf(DlgType);
    f->SetCaption(caption ? caption : (Application ? Application->Title() : std::string()));

    // ---- measure, with the dialog's font on the screen
    ScopedGetDC dc(nullptr);
    ScopedSelectObject sel(dc, f->Font()->Handle());
    const SIZE units = AverageCharSize(dc);
    const int horzMargin = MulDiv(kHorzMargin, units.cx, 4);
    const int vertMargin = MulDiv(kVertMargin, units.cy, 8);
    const int horzSpacing = MulDiv(kHorzSpacing, units.cx, 4);
    const int vertSpacing = MulDiv(kVertSpacing, units.cy, 8);
    const int buttonHeight = MulDiv(kButtonHeight, units.cy, 8);
    const int buttonSpacing = MulDiv(kButtonSpacing, units.cx, 4);
    int buttonWidth = MulDiv(kButtonWidth, units.cx, 4);
    int buttonCount = 0;
    for (TMsgDlgBtn b : kAllButtons) {
        if (!Buttons.Contains(b)) continue;
        ++buttonCount;
        RECT r{};
        DrawTextA(dc, InfoOf(b).caption, -1, &r, DT_CALCRECT | DT_LEFT | DT_SINGLELINE);
        buttonWidth = std::max<int>(buttonWidth, r.right - r.left + 8);
    }
    const int textRoom = GetSystemMetrics(SM_CXSCREEN) / kMessageWidthDivisor;
    RECT text{0, 0, textRoom, 0};
    DrawTextA(dc, Msg.c_str(), -1, &text, DT_EXPANDTABS | DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    const LPCSTR iconId = IconOf(DlgType);
    int iconTextWidth = text.right;
    int iconTextHeight = text.bottom;
    if (iconId) {
        iconTextWidth += kIconSize + horzSpacing;
        iconTextHeight = std::max(iconTextHeight, kIconSize);
    }
    const int buttonGroupWidth = buttonCount ? buttonWidth * buttonCount + buttonSpacing * (buttonCount - 1) : 0;
    const int clientWidth = std::max(iconTextWidth, buttonGroupWidth) + horzMargin * 2;
    const int clientHeight = iconTextHeight + buttonHeight + vertSpacing + vertMargin * 2;

    // The frame's size is known once the window exists.
    f->HandleNeeded();
    f->SetClientSize(clientWidth, clientHeight);
    f->SetBounds((GetSystemMetrics(SM_CXSCREEN) - f->Width()) / 2, (GetSystemMetrics(SM_CYSCREEN) - f->Height()) / 2,
                 f->Width(), f->Height());

    // ---- contents
    if (iconId) {
        auto* image = TComponent::Create<TImage>(f);
        image->SetName("Image");
        image->SetParent(f);
        if (HICON icon = LoadIconA(nullptr, iconId)) image->Picture()->Icon()->SetHandle(CopyIcon(icon));
        image->SetBounds(horzMargin, vertMargin, kIconSize, kIconSize);
    }
    auto* message = TComponent::Create<TLabel>(f);
    message->SetName("Message");
    message->SetParent(f);
    message->SetWordWrap(true);
    // A message is plain text: an '&' in it (a file or window name) is
    // shown, not turned into an underline.
    message->SetShowAccelChar(false);
    message->SetCaption(Msg);
    // A font can draw past the width it measures (Wine's substitutes do, by
    // a few pixels): the label reaches into the right margin so the ends of
    // its longest lines show. It stays within the width the text was
    // measured against, so its lines break where they were measured.
    const int labelWidth = std::min<int>(text.right + horzMargin, std::max<int>(textRoom, text.right));
    message->SetBounds(iconTextWidth - text.right + horzMargin, vertMargin, labelWidth, text.bottom);

    auto* hidden = TComponent::Create<TMessageText>(f);
    hidden->SetName("MessageText");
    hidden->SetParent(f);
    hidden->SetCaption(Msg);

    const TMsgDlgBtn defaultButton = Buttons.Contains(mbOK) ? mbOK : Buttons.Contains(mbYes) ? mbYes : mbRetry;
    const TMsgDlgBtn cancelButton = Buttons.Contains(mbCancel) ? mbCancel : Buttons.Contains(mbNo) ? mbNo : mbOK;
    int x = (clientWidth - buttonGroupWidth) / 2;
    for (TMsgDlgBtn b : kAllButtons) {
        if (!Buttons.Contains(b)) continue;
        const ButtonInfo info = InfoOf(b);
        auto* button = TComponent::Create<TButton>(f);
        button->SetName(info.name);
        button->SetParent(f);
        button->SetCaption(info.caption);
        button->SetModalResult(info.result);
        if (b == defaultButton) {
            button->SetDefault(true);
            f->SetActiveControl(button);
        }
        if (b == cancelButton) button->SetCancel(true);
        button->SetBounds(x, iconTextHeight + vertMargin + vertSpacing, buttonWidth, buttonHeight);
        x += buttonWidth + buttonSpacing;
        if (b == mbHelp) button->OnClick = TNotifyEvent(f, &TMessageForm::HelpButtonClick);
    }
}

}  // namespace

TForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    auto* f = TComponent::Create<TMessageForm>(Application);
    try {
        BuildMessageDialog(f, Msg, DlgType, Buttons);
    } catch (...) {
        TComponent::Free(f);
        throw;
    }
    return f;
}

int MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y) {
    if (TMessageDlgHook hook = gHook) {
        if (std::optional<int> answer = hook(MessageDlgCall{Msg, DlgType, Buttons, HelpCtx, X, Y})) return *answer;
    }
    TForm* f = CreateMessageDialog(Msg, DlgType, Buttons);
    struct FreeAtExit {
        TForm* form;
        ~FreeAtExit() { TComponent::Free(form); }
    } guard{f};
    f->SetHelpContext(HelpCtx);
    if (X >= 0) f->SetLeft(X);
    if (Y >= 0) f->SetTop(Y);
    if (X < 0 && Y < 0) f->SetPosition(poScreenCenter);
    return f->ShowModal();
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
    return MessageDlgPos(Msg, DlgType, Buttons, HelpCtx, -1, -1);
}

void ShowMessagePos(const std::string& Msg, int X, int Y) { MessageDlgPos(Msg, mtCustom, mbOK, 0, X, Y); }

void ShowMessage(const std::string& Msg) { ShowMessagePos(Msg, -1, -1); }

TMessageDlgHook SetMessageDlgHook(TMessageDlgHook hook) {
    TMessageDlgHook old = std::move(gHook);
    gHook = std::move(hook);
    return old;
}

}  // namespace ui
