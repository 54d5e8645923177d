#pragma once
// Message dialogs. MessageDlg and its relatives build a small modal form in
// code - the type's system icon, the message, a row of buttons - show it
// centred on the screen (or at a given place) and return the modal result of
// the button pressed (mrYes, mrOk, ...; mrCancel when the dialog is closed).
//
// Default button (Enter): OK, else Yes, else Retry. Cancel button (Esc):
// Cancel, else No, else OK.
//
// What the dialog form holds, for code and tools that look at it:
//   - its caption: "Warning", "Error", "Information", "Confirm", or the
//     application's title for mtCustom;
//   - "Image": a TImage with the type's system icon (none for mtCustom);
//   - "Message": a TLabel with the message, wrapped at half the screen's
//     width; line breaks ("\n", "\r", "\r\n") are the system's DrawText
//     ones, and '&' is shown as it is;
//   - "MessageText": a hidden STATIC child window whose text is the message,
//     so that a program outside (tests/fixtures/dlgdriver) can read it with
//     WM_GETTEXT, the label having no window of its own;
//   - the buttons, named "Yes", "No", "OK", "Cancel", "Abort", "Retry",
//     "Ignore", "All", "NoToAll", "YesToAll", "Help", in that order from left
//     to right, captioned "&Yes", "&No", "OK", "Cancel", "&Abort", "&Retry",
//     "&Ignore", "&All", "N&o to All", "Yes to &All", "&Help".
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

#include "ui/Form.h"

namespace ui {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };

// A set of dialog buttons: TMsgDlgButtons{mbYes, mbNo}, mbYes | mbCancel.
class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(TMsgDlgBtn b) : bits_(Bit(b)) {}
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> l) {
        for (TMsgDlgBtn b : l) bits_ |= Bit(b);
    }
    constexpr bool Contains(TMsgDlgBtn b) const { return (bits_ & Bit(b)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr unsigned Bits() const { return bits_; }
    friend constexpr TMsgDlgButtons operator|(TMsgDlgButtons a, TMsgDlgButtons b) {
        TMsgDlgButtons r;
        r.bits_ = a.bits_ | b.bits_;
        return r;
    }
    friend constexpr bool operator==(TMsgDlgButtons a, TMsgDlgButtons b) { return a.bits_ == b.bits_; }

private:
    static constexpr unsigned Bit(TMsgDlgBtn b) { return 1u << static_cast<unsigned>(b); }
    unsigned bits_ = 0;
};
constexpr TMsgDlgButtons operator|(TMsgDlgBtn a, TMsgDlgBtn b) { return TMsgDlgButtons(a) | TMsgDlgButtons(b); }

constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
constexpr TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
constexpr TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};

// The dialog form, not yet shown, owned by the Application; the caller shows
// it (ShowModal) and frees it.
TForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);

// HelpCtx: the help topic the Help button opens (0: none).
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
// With the dialog's top-left corner at (X, Y) in screen coordinates; a
// negative coordinate keeps the centred one.
int MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y);
// The message under the application's title, with an OK button.
void ShowMessage(const std::string& Msg);
void ShowMessagePos(const std::string& Msg, int X, int Y);

// ---------------------------------------------------------------- test seam
//
// A hook that MessageDlg, MessageDlgPos, ShowMessage and ShowMessagePos
// consult before they make any window: it sees every call, and when it
// returns a value no dialog is made and that value is what the function
// returns (ShowMessage drops it). Returning nullopt lets the real dialog
// appear. Forms from CreateMessageDialog that the caller shows itself do not
// pass through the hook; tests drive those as a person would
// (tests/support/DialogDriver.h).

struct MessageDlgCall {
    std::string Msg;
    TMsgDlgType DlgType;
    TMsgDlgButtons Buttons;
    int HelpCtx;
    int X, Y;  // -1: centred
};

using TMessageDlgHook = std::function<std::optional<int>(const MessageDlgCall&)>;

// Installs hook (an empty function removes it) and returns the one it
// replaces, so a test can put that back.
TMessageDlgHook SetMessageDlgHook(TMessageDlgHook hook);

}  // namespace ui
