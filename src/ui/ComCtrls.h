#pragma once
// The common controls beyond the list view: the rich edit, the up-down
// arrows, the progress bar, the hot-key field, the tree view, and the tab
// control, cool bar and page scroller as plain holders of other controls. Each is the
// system's own window, superclassed like the standard controls, with only
// the properties this program reads.
#include "ui/StdCtrls.h"

namespace ui {

// ---------------------------------------------------------------- rich edit

// The system's rich edit ("RichEdit20A"). BorderWidth keeps a margin in the
// control's colour between the border and the text.
class TCustomRichEdit : public TCustomMemo {
public:
    explicit TCustomRichEdit(TComponent* AOwner);

    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v);

protected:
    void CreateParams(TCreateParams& p) override;
    void WndProc(TMessage& m) override;

private:
    int borderWidth_ = 0;
};

class TRichEdit : public TCustomRichEdit {
public:
    explicit TRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner) {}
};

// ---------------------------------------------------------------- ranges

// A control that steps Position between Min and Max: the three are kept
// while the control has no window and copied into each new one. The messages
// are the control kind's own; PosInLParam: its set-position message takes the
// position in lParam rather than wParam.
class TRangeControl : public TWinControl {
public:
    int Min() const { return min_; }
    int Max() const { return max_; }
    void SetRange(int AMin, int AMax);
    int Position() const;
    void SetPosition(int v);

protected:
    TRangeControl(TComponent* AOwner, UINT SetRangeMsg, UINT SetPosMsg, bool PosInLParam, UINT GetPosMsg)
        : TWinControl(AOwner), setRange_(SetRangeMsg), setPos_(SetPosMsg), getPos_(GetPosMsg),
          posInLParam_(PosInLParam) {}
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    void SendPosition(int v) const;

    UINT setRange_, setPos_, getPos_;
    bool posInLParam_;
    int min_ = 0, max_ = 100, position_ = 0;
};

// A pair of arrows that step Position between Min and Max.
class TUpDown : public TRangeControl {
public:
    explicit TUpDown(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& p) override;
};

class TProgressBar : public TRangeControl {
public:
    explicit TProgressBar(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& p) override;
};

// ---------------------------------------------------------------- hot key

// A field that shows the key combination typed into it.
class TCustomHotKey : public TWinControl {
public:
    explicit TCustomHotKey(TComponent* AOwner);

    // The key in the low byte, the HOTKEYF_* modifiers in the high byte.
    WORD HotKey();
    void SetHotKey(WORD v);

protected:
    void CreateParams(TCreateParams& p) override;
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    WORD hotKey_ = 0;
};

class THotKey : public TCustomHotKey {
public:
    explicit THotKey(TComponent* AOwner) : TCustomHotKey(AOwner) {}
};

// ---------------------------------------------------------------- tree view

// The system's tree view; only its frame is kept here.
class TCustomTreeView : public TBordered<TWinControl> {
public:
    explicit TCustomTreeView(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& p) override;
};

class TTreeView : public TCustomTreeView {
public:
    explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};

// ---------------------------------------------------------------- holders

// A system common control used only as a window that holds other controls;
// they keep the bounds they are given.
class TCommonHolder : public TWinControl {
protected:
    // Classes: the ICC_* flags that register ClassName; ExtraStyle is added
    // to the control's own.
    TCommonHolder(TComponent* AOwner, DWORD Classes, const char* ClassName, DWORD ExtraStyle, int AWidth, int AHeight);
    void CreateParams(TCreateParams& p) override;

private:
    DWORD classes_;
    const char* className_;  // static text
    DWORD extraStyle_;
};

// The system's tab strip (no tabs).
class TTabControl : public TCommonHolder {
public:
    explicit TTabControl(TComponent* AOwner);
};

// The system's rebar (no bands); it neither sizes nor places itself.
class TCoolBar : public TCommonHolder {
public:
    explicit TCoolBar(TComponent* AOwner);
};

// The system's pager (no scrolled child).
class TPageScroller : public TCommonHolder {
public:
    explicit TPageScroller(TComponent* AOwner);
};

}  // namespace ui
