#pragma once
// Controls: TControl (anything placed on a form), TWinControl (has a window),
// TGraphicControl (drawn on its parent's window) and TCustomControl (a window
// that paints itself on a canvas).
//
// Every message reaches a control through its replaceable WindowProc (by
// default the virtual WndProc) and ends in DefaultHandler, which for a window
// is the window class's own procedure.
#include <memory>
#include <string>
#include <vector>

#include "ui/Colors.h"
#include "ui/Component.h"
#include "ui/Exception.h"
#include "ui/GdiGuards.h"
#include "ui/Messages.h"
#include "ui/Types.h"

namespace ui {

class TControl;
class TWinControl;
class TCustomForm;
class TFont;
class TCanvas;
class TControlCanvas;
class TPopupMenu;
class TBasicAction;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
// The edges of its parent that a control keeps its distance to as the parent
// is resized; both of a pair stretch it, neither keeps it centred.
enum TAnchorKind : unsigned { akLeft = 1u << 0, akTop = 1u << 1, akRight = 1u << 2, akBottom = 1u << 3 };
using TAnchors = unsigned;
enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};
using TShiftState = unsigned;

enum TControlStyleFlag : unsigned {
    csAcceptsControls = 1u << 0,
    csCaptureMouse = 1u << 1,
    csDesignInteractive = 1u << 2,
    csClickEvents = 1u << 3,
    csFramed = 1u << 4,
    csSetCaption = 1u << 5,
    csOpaque = 1u << 6,
    csDoubleClicks = 1u << 7,
    csFixedWidth = 1u << 8,
    csFixedHeight = 1u << 9,
    csNoDesignVisible = 1u << 10,
    csReplicatable = 1u << 11,
    csNoStdEvents = 1u << 12,
    csDisplayDragImage = 1u << 13,
    csReflector = 1u << 14,
    csActionClient = 1u << 15,
    csMenuEvents = 1u << 16,
    csParentBackground = 1u << 17,
};
using TControlStyle = unsigned;

enum TControlStateFlag : unsigned {
    csLButtonDown = 1u << 0,
    csClicked = 1u << 1,
    csPalette = 1u << 2,
    csReadingState = 1u << 3,
    csAlignmentNeeded = 1u << 4,
    csFocusing = 1u << 5,
    csCreating = 1u << 6,
    csPaintCopy = 1u << 7,
    csCustomPaint = 1u << 8,
    csDestroyingHandle = 1u << 9,
    csDocking = 1u << 10,
};
using TControlState = unsigned;

enum TDragMode { dmManual, dmAutomatic };
// Reading order of a control's (or menu's) text.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// Source is the control being dragged; (X, Y) in the target's client
// coordinates. Accept starts true when asked.
using TDragOverEvent = Event<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = Event<void(TObject* Sender, TObject* Source, int X, int Y)>;
// Target is null when the drag was cancelled or dropped where nobody took it.
using TEndDragEvent = Event<void(TObject* Sender, TObject* Target, int X, int Y)>;

using TWndMethod = Event<void(TMessage&)>;
using TMouseEvent = Event<void(TObject*, TMouseButton, TShiftState, int, int)>;
using TMouseMoveEvent = Event<void(TObject*, TShiftState, int, int)>;
using TKeyEvent = Event<void(TObject*, WORD&, TShiftState)>;
using TKeyPressEvent = Event<void(TObject*, char&)>;

TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyDataToShiftState(LPARAM keyData);
// True when the caption's accelerator ("&x") is the character c.
bool IsAccel(char c, const std::string& caption);

// The control that has the mouse captured, if any (a graphic control captures
// through its parent's window).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* c);
// Repaints the parent's background where graphic control c stands, as it
// stops covering it (it moves, shrinks, hides or leaves).
void InvalidateUncovered(TControl* c);

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // ---- placement
    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* p);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.left, r.top, RectWidth(r), RectHeight(r)); }
    virtual TRect ClientRect();
    int ClientWidth() { return RectWidth(ClientRect()); }
    int ClientHeight() { return RectHeight(ClientRect()); }
    virtual void SetClientSize(int w, int h);
    TAlign Align() const { return align_; }
    void SetAlign(TAlign a);
    // Followed by a control that is not aligned. The distances are those of
    // the layout the form was loaded with, or of the control's place when
    // it is set (or the anchors are) after loading.
    TAnchors Anchors() const { return anchors_; }
    void SetAnchors(TAnchors a);
    TPoint ClientToScreen(TPoint p);
    TPoint ScreenToClient(TPoint p);

    // ---- state
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible and every parent up to the form visible too.
    virtual bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool v);
    TColor Color() const { return color_; }
    void SetColor(TColor c);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* f);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool v);
    // The caption of buttons and labels, the text of edits: one string.
    std::string Caption() { return GetText(); }
    void SetCaption(const std::string& s) { SetText(s); }
    std::string Text() { return GetText(); }
    void SetText(const std::string& s);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& h) { hint_ = h; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool v);
    // Follows the parent's until set. A control that lays itself out by it
    // overrides the setter, which also runs when the parent's mode comes in.
    TBiDiMode BiDiMode() const { return biDiMode_; }
    virtual void SetBiDiMode(TBiDiMode v);
    bool ParentBiDiMode() const { return parentBiDiMode_; }
    void SetParentBiDiMode(bool v);
    // The text reads right to left.
    bool UseRightToLeftReading() const { return biDiMode_ != bdLeftToRight; }
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int v) { helpContext_ = v; }
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* m);
    HCURSOR Cursor() const { return cursor_; }
    void SetCursor(HCURSOR c) { cursor_ = c; }
    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle s) { controlStyle_ = s; }
    TControlState ControlState() const { return controlState_; }
    void SetControlState(TControlState s) { controlState_ = s; }
    bool MouseCapture() const { return GetCaptureControl() == this; }
    void SetMouseCapture(bool v);

    // ---- messages
    TWndMethod WindowProc;
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    virtual void WndProc(TMessage& m);
    virtual void DefaultHandler(TMessage& m);

    // ---- drawing
    virtual void Invalidate();
    virtual void Update();
    void Repaint() {
        Invalidate();
        Update();
    }
    void BringToFront();
    void SendToBack();

    TCustomForm* GetParentForm() const;

    // ---- the action the control stands for (see ActnList.h): its caption,
    // enabled state, hint and visibility come from it, and a click without an
    // OnClick of the control's own runs it.
    TBasicAction* Action() const { return action_; }
    void SetAction(TBasicAction* a);

    // The palette of the picture the control shows, null for none.
    virtual HPALETTE GetPalette() { return nullptr; }

    // ---- dragging (see DragDrop.h). In automatic mode a left button press
    // on the control starts dragging it.
    TDragMode DragMode() const { return dragMode_; }
    void SetDragMode(TDragMode v) { dragMode_ = v; }
    // Shown while the control is dragged over a target that accepts it
    // (null: the arrow).
    HCURSOR DragCursor() const { return dragCursor_; }
    void SetDragCursor(HCURSOR c) { dragCursor_ = c; }
    void BeginDrag();
    bool Dragging() const;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;
    TNotifyEvent OnStartDrag;

    // ---- events
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;

    virtual void Click();
    virtual void DblClick();

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Leaves the parent while the object is whole: the parent's lists must
    // not keep it, and a windowed control must leave as one.
    void Destroying() override;
    virtual std::string GetText();
    virtual void SetTextBuf(const std::string& s);
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void Resize();
    virtual void ChangeScale(int, int) {}
    // Moves/sizes the window of a windowed control; nothing for graphic ones.
    virtual void UpdateBoundsRect(const TRect& r);
    void InvalidateControl(bool IsVisible, bool IsOpaque);
    // Asked while something is dragged over the control: OnDragOver decides;
    // without it every drag is refused.
    virtual bool DragOver(TObject* Source, int X, int Y, TDragState State);
    virtual void DragDrop(TObject* Source, int X, int Y);
    virtual void DoStartDrag();
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    // Starts the drag of automatic mode at a left button press; a control
    // that starts it later (when the user drags an item) overrides this.
    virtual void BeginAutoDrag() { BeginDrag(); }
    void RequestAlign();
    // Takes the control's place and its parent's client size as the ones
    // its anchors keep to.
    void UpdateAnchorRules();
    virtual void VisibleChanging() {}
    // The action changed, or was just given (CheckDefaults: while loading,
    // when only what is still at its default is taken from it).
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);

    // ---- component messages, one typed handler each. The library sends the
    // CM_* message (so a replaced WindowProc still sees it) and the default
    // WndProc calls the handler; an override calls the inherited one to keep
    // the library's own reaction (repaint, the window's state, the children).
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void EnabledChanged();
    virtual void VisibleChanged();
    // The focus moved to NewFocus (null: to no control) on this control's form.
    virtual void FocusChanged(TWinControl* NewFocus);
    virtual void TextChanged();
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void BiDiModeChanged();
    // An accelerator key typed on the form; true when this control took it.
    virtual bool DialogChar(char Key);
    // A child joined (Inserted) or left this control.
    virtual void ControlListChanged(TControl* Child, bool Inserted);

    std::string text_;  // caption kept while there is no window

private:
    void HandleMouseMessage(TMessage& m);
    // Calls the typed handler of a component message; false for other messages.
    bool DispatchComponentMessage(TMessage& m);
    void FontObjectChanged(TObject* Sender);
    void DragMessage(TMessage& m);

    TWinControl* parent_ = nullptr;  // not owned
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = alNone;
    TAnchors anchors_ = akLeft | akTop;
    TRect anchorBounds_{};
    TPoint anchorParentSize_{-1, -1};  // none taken yet
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_;
    bool parentColor_ = false;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TBiDiMode biDiMode_ = bdLeftToRight;
    bool parentBiDiMode_ = true;
    int helpContext_ = 0;
    TPopupMenu* popupMenu_ = nullptr;  // not owned
    TBasicAction* action_ = nullptr;   // not owned; holds this control among its clients
    HCURSOR cursor_ = nullptr;
    TDragMode dragMode_ = dmManual;
    HCURSOR dragCursor_ = nullptr;
    TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    TControlState controlState_ = 0;

    friend class TWinControl;
    friend class TBasicAction;
};

// What CreateWindowEx receives; filled by the virtual CreateParams.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSA WindowClass{};
    std::string WinClassName;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    HWND Handle();  // creates the window on demand
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded();
    void RecreateWnd();

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int i) const { return controls_.at(static_cast<size_t>(i)); }
    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);
    // The visible, enabled child at client point p (graphic controls first
    // from the top of the Z order), or null.
    TControl* ControlAtPos(TPoint p, bool AllowDisabled = false, bool AllowWinControls = false);

    bool Focused() const;
    virtual bool CanFocus();
    virtual void SetFocus();
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v);
    int TabOrder() const;
    void SetTabOrder(int v);
    // The windowed children in tab order.
    void GetTabOrderList(std::vector<TWinControl*>& list);
    TWinControl* FindNextControl(TWinControl* cur, bool GoForward, bool CheckTabStop, bool CheckParent);
    void SelectNext(TWinControl* cur, bool GoForward, bool CheckTabStop);

    // The sunken 3-D look of edits, lists and frames. Follows the parent's
    // until set.
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool v);
    bool ParentCtl3D() const { return parentCtl3D_; }
    void SetParentCtl3D(bool v);

    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool v) { doubleBuffered_ = v; }
    bool Showing() const override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect ClientRect() override;
    void SetClientSize(int w, int h) override;
    void Invalidate() override;
    void Update() override;
    void Broadcast(TMessage& m);
    void AlignControls();
    // Takes the anchors' distances of every control inside from the layout
    // as it stands (a form does so once loaded).
    void UpdateAnchorRulesInside();
    void DisableAlign() { ++alignLevel_; }
    void EnableAlign();
    // Paints the graphic children into dc, from First on (all when null).
    void PaintControls(HDC dc, TControl* First);
    void SetParent(TWinControl* p) override;

    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    void WndProc(TMessage& m) override;
    void DefaultHandler(TMessage& m) override;

    // The object bound to a window of this library, or null.
    static TWinControl* FindControl(HWND h);

protected:
    void Destroying() override;
    virtual void CreateParams(TCreateParams& p);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& p);
    // Called after the window exists and its children have windows too.
    virtual void CreateHandle();
    virtual void DestroyWnd();
    void DestroyHandle();
    // Superclasses a standard control (EDIT, BUTTON...) so that its messages
    // come through this library first.
    void CreateSubClass(TCreateParams& p, const char* ControlClassName);
    void UpdateBoundsRect(const TRect& r) override;
    void SetTextBuf(const std::string& s) override;
    std::string GetText() override;
    virtual void PaintWindow(HDC dc);
    void PaintHandler(TMessage& m);
    virtual void AlignControl(TControl* c);
    virtual void AdjustClientRect(TRect&) {}
    virtual bool DoKeyDown(TMessage& m);
    virtual bool DoKeyPress(TMessage& m);
    virtual bool DoKeyUp(TMessage& m);
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void DoEnter();
    virtual void DoExit();
    // Colours a standard child's background and text (WM_CTLCOLOR*).
    HBRUSH BackgroundBrush();

    void EnabledChanged() override;
    void VisibleChanged() override;
    void FocusChanged(TWinControl* NewFocus) override;
    void FontChanged() override;
    void ColorChanged() override;
    void BiDiModeChanged() override;
    bool DialogChar(char Key) override;
    // Ctl3D changed (set, or taken from the parent).
    virtual void Ctl3DChanged();

    // Messages a form's menus take (WM_COMMAND from a menu, owner-drawn menu
    // items); true when taken.
    virtual bool HandleMenuMessage(TMessage&) { return false; }

    HWND handle_ = nullptr;
    WNDPROC defWndProc_ = nullptr;
    bool customPaint_ = false;           // paints itself (TCustomControl): always through PaintHandler
    std::vector<TControl*> controls_;    // not owned: children in Z order, bottom first
    std::vector<TWinControl*> tabList_;  // not owned

private:
    // The form sees a key message first when it previews keys; then handle,
    // which may change the key or clear it (0: taken).
    template <class T, class F> bool DoKey(TMessage& m, bool (TWinControl::*preview)(TMessage&), F handle);
    static LRESULT CALLBACK StaticWndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    void Bind(HWND h);
    void DoubleBufferedPaint();
    bool IsControlMouseMsg(TMessage& m);
    void ReflectNotification(TMessage& m);
    bool HandleKeyboardMsg(TMessage& m);
    void TrackMouse(TPoint p);
    void MouseLeft();
    bool SetCursorFor(TMessage& m);
    bool CancelDragByKey(TMessage& m);
    // Places the anchored children by the parent's client size r.
    void AnchorControls(const TRect& r);

    friend class TControl;
    bool tabStop_ = false;
    bool ctl3D_ = true;
    bool parentCtl3D_ = true;
    bool doubleBuffered_ = false;
    int alignLevel_ = 0;
    bool anchoring_ = false;  // the children move by their anchors: their rules stay
    ScopedGdiObject<HBRUSH> brush_;
    TColor brushColor_ = clNone;
    bool destroyingHandle_ = false;
    // A client size asked for before the window existed, and the outer size
    // it gave: applied again on the real frame when the window is made
    // (unless the size was changed since).
    TPoint pendingClient_{-1, -1};
    TPoint pendingOuter_{-1, -1};
};

class TControlCanvas;

// Drawn in its parent's window: labels, images, speed buttons.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas();

protected:
    void WndProc(TMessage& m) override;
    virtual void Paint() {}

private:
    std::unique_ptr<TControlCanvas> canvas_;
};

// A window that paints itself on a canvas: panels and owner-drawn controls.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas();

protected:
    void PaintWindow(HDC dc) override;
    virtual void Paint() {}

private:
    std::unique_ptr<TControlCanvas> canvas_;
};

}  // namespace ui
