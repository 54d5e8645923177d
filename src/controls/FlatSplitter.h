#pragma once
// TFlatSplitter: a windowless bar aligned to one side of its parent that
// resizes the neighbouring control aligned to the same side. While the left
// button drags it an inverted line shows on the parent; the size is applied
// at the release of the left button, and Esc (typed into the form's active
// control, whose OnKeyDown the splitter borrows for the drag) cancels.
#include <cstdint>

#include "ui/Control.h"

namespace controls {

using TAdvColors = uint8_t;  // 0..100, a percentage

class TFlatSplitter : public ui::TGraphicControl {
public:
    explicit TFlatSplitter(ui::TComponent* AOwner);

    ui::TColor ColorFocused() const { return colorFocused_; }
    void SetColorFocused(ui::TColor v);
    ui::TColor ColorBorder() const { return colorBorder_; }
    void SetColorBorder(ui::TColor v);
    TAdvColors AdvColorBorder() const { return advColorBorder_; }
    void SetAdvColorBorder(TAdvColors v);
    TAdvColors AdvColorFocused() const { return advColorFocused_; }
    void SetAdvColorFocused(TAdvColors v);
    bool UseAdvColors() const { return useAdvColors_; }
    void SetUseAdvColors(bool v);
    // Smallest size of the sized control, and the room kept free beyond it.
    int MinSize() const { return minSize_; }
    void SetMinSize(int v) { minSize_ = v < 1 ? 1 : v; }
    bool Hot() const { return hot_; }
    // A drag runs.
    bool Sizing() const { return sizedControl_ != nullptr; }
    bool LineShown() const { return lineShown_; }
    // The size a release would apply now.
    int PendingSize() const { return pendingSize_; }

    // After every drag, applied or cancelled.
    ui::TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void WndProc(ui::TMessage& m) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void MouseMove(ui::TShiftState s, int x, int y) override;
    void MouseUp(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void Notification(ui::TComponent* AComponent, ui::TOperation Operation) override;
    void Destroying() override;

private:
    ui::TControl* FindSizedControl();
    void ClampSplitSize(int X, int Y);
    void InvertLine();
    void ApplySize();
    // Ends a drag (the line erased, the context released, the key handler
    // given back); Notify runs OnMoved.
    void EndSizing(bool Notify = true);
    void ReleaseDrag();
    void EscapeKeyHook(ui::TObject* Sender, WORD& Key, ui::TShiftState Shift);
    void DeriveAdvColors();

    TAdvColors advColorBorder_ = 50;
    TAdvColors advColorFocused_ = 50;
    bool useAdvColors_ = false;
    ui::TColor colorFocused_ = 0x53D2FF;
    ui::TColor colorBorder_ = 0x555E66;
    int minSize_ = 30;
    bool hot_ = false;

    HDC dragDC_ = nullptr;
    HWND dragWnd_ = nullptr;
    ui::TPoint downPoint_{};
    int splitOffset_ = 0;
    int sizeLimit_ = 0;
    ui::TControl* sizedControl_ = nullptr;  // not owned
    int pendingSize_ = 0;
    ui::TWinControl* hookedControl_ = nullptr;  // not owned
    ui::TKeyEvent savedOnKeyDown_;
    bool lineShown_ = false;
};

}  // namespace controls
