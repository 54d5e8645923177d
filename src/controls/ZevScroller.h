#pragma once
// TZevScroller: a scroll bar and slider made of parts: two flat arrow
// buttons and, between them, a track (TScroller) with a draggable thumb
// (TSetac) over a thin groove (TTraka). It keeps an integer Position in
// Min..Max, steps it by SmallChange (arrows, arrow keys), pages it by
// LargeChange (groove, page keys) and shows it on the thumb. Writing
// Position clamps and never raises OnChange; every user action does.
#include <cstdint>
#include <string>

#include "controls/FlatSpeedButton.h"
#include "controls/ScrollerMath.h"
#include "ui/Event.h"
#include "ui/StdCtrls.h"
#include "ui/Timer.h"

namespace controls {

enum TKind : uint8_t { sbHorizontal, sbVertical };
enum TKindd : uint8_t { tbHorizontal, tbVertical };
using TOnScroll = ui::Event<void(ui::TObject* Sender, int ScrollPos)>;

class TZevScroller;
class TScroller;

// A timer pair that waits RepeatStartDelay, then repeats every RepeatSpeed
// while a mouse button is held on an arrow or the groove.
struct TRepeatTimers {
    ui::TTimer* Start = nullptr;
    ui::TTimer* Repeat = nullptr;
    void Create(ui::TComponent* Owner, ui::TNotifyEvent OnRepeat);
    void Begin() { Start->SetEnabled(true); }
    void Stop() {
        Start->SetEnabled(false);
        Repeat->SetEnabled(false);
    }
    void StartElapsed(ui::TObject*) {
        Start->SetEnabled(false);
        Repeat->SetEnabled(true);
    }
};

// The thumb: dragged with the left button; its caption shows the position.
class TSetac : public ui::TCustomPanel {
public:
    explicit TSetac(ui::TComponent* AOwner);
    bool ThumbDragging() const { return dragging_; }

protected:
    void MouseDown(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void MouseMove(ui::TShiftState s, int x, int y) override;
    void MouseUp(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;

private:
    TScroller* Track() const;
    ui::TPoint grab_{};
    bool dragging_ = false;
};

// The groove: pressing it pages toward the pressed point, repeating while held.
class TTraka : public ui::TCustomPanel {
public:
    explicit TTraka(ui::TComponent* AOwner);
    TRepeatTimers Timers;
    void Click() override;

protected:
    void MouseDown(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void MouseUp(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void MouseLeave() override;

private:
    void RepeatTick(ui::TObject*) { Click(); }
    ui::TPoint press_{};
};

// The arrow buttons: a step per click, repeating while held.
class TScrollerArrow : public TFlatSpeedButton {
public:
    TScrollerArrow(ui::TComponent* AOwner, TZevScroller* Owner, int Direction);
    TRepeatTimers Timers;
    void Click() override;

protected:
    void MouseDown(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void MouseUp(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;

private:
    void RepeatTick(ui::TObject*) { Click(); }
    TZevScroller* scroller_;
    int direction_;  // -1 up or left, +1 down or right
};

class TButtonUp : public TScrollerArrow {
public:
    TButtonUp(ui::TComponent* AOwner, TZevScroller* Owner) : TScrollerArrow(AOwner, Owner, -1) {}
};

class TButtonDown : public TScrollerArrow {
public:
    TButtonDown(ui::TComponent* AOwner, TZevScroller* Owner) : TScrollerArrow(AOwner, Owner, +1) {}
};

// The track: Min, Max, Position, the thumb and the groove.
class TScroller : public ui::TCustomControl {
public:
    explicit TScroller(ui::TComponent* AOwner);

    int Position() const { return position_; }
    // Clamped to Min..Max; moves the thumb; no OnScroll.
    void SetPosition(int v);
    int Min() const { return min_; }
    void SetMin(int v);
    int Max() const { return max_; }
    void SetMax(int v);
    int Trk() const { return trk_; }
    void SetTrk(int v) { trk_ = v < 1 ? 1 : v > 32767 ? 32767 : v; }
    ui::TColor BojaSetaca() const { return thumbColor_; }
    void SetBojaSetaca(ui::TColor v);
    ui::TColor Bojatrake() const { return bandColor_; }
    void SetBojatrake(ui::TColor v);
    bool ShowText() const { return showText_; }
    void SetShowText(bool v);
    int ThumbSize() const { return thumbSize_; }
    void SetThumbSize(int v);
    TKind Kind() const { return kind_; }
    void SetKind(TKind v);

    TSetac* Thumb() const { return thumb_; }
    TTraka* Groove() const { return groove_; }
    // Track length free for the thumb to move in.
    int FreeLength();
    int PositionToOffset();
    int OffsetToPosition();
    // After every user action: focus to the scroller, OnScroll, thumb text.
    void NotifyScroll();
    void RefreshThumbText();
    // Sets the position as the thumb shows it, without clamping.
    void SetPositionFromThumb() { position_ = OffsetToPosition(); }

    TOnScroll OnScroll;

protected:
    void Resize() override;
    void Notification(ui::TComponent* AComponent, ui::TOperation Operation) override;

private:
    TZevScroller* Outer() const;
    void MoveThumb();

    int trk_ = 1;
    ui::TColor thumbColor_ = ui::clBtnFace;
    ui::TColor bandColor_ = ui::clBtnHighlight;
    bool showText_ = true;
    TTraka* groove_ = nullptr;
    int position_ = 0, max_ = 100, min_ = 0;
    int thumbSize_ = 25;
    TSetac* thumb_ = nullptr;
    TKind kind_ = sbHorizontal;
};

class TZevScroller : public ui::TCustomPanel {
public:
    explicit TZevScroller(ui::TComponent* AOwner);

    int Position() const { return track_->Position(); }
    void SetPosition(int v) { track_->SetPosition(v); }
    int Min() const { return track_->Min(); }
    void SetMin(int v) { track_->SetMin(v); }
    int Max() const { return track_->Max(); }
    void SetMax(int v) { track_->SetMax(v); }
    int SmallChange() const { return smallChange_; }
    void SetSmallChange(int v) { smallChange_ = v < 1 ? 1 : v > 32767 ? 32767 : v; }
    int LargeChange() const { return track_->Trk(); }
    void SetLargeChange(int v) { track_->SetTrk(v); }
    ui::TColor ColorThumb() const { return track_->BojaSetaca(); }
    void SetColorThumb(ui::TColor v) { track_->SetBojaSetaca(v); }
    ui::TColor ColorBand() const { return track_->Bojatrake(); }
    void SetColorBand(ui::TColor v) { track_->SetBojatrake(v); }
    bool ThumbShowText() const { return track_->ShowText(); }
    void SetThumbShowText(bool v) { track_->SetShowText(v); }
    int ThumbSize() const { return track_->ThumbSize(); }
    void SetThumbSize(int v) { track_->SetThumbSize(v); }
    TKindd Kind() const { return kind_; }
    void SetKind(TKindd v);
    unsigned RepeatSpeed() const { return repeatSpeed_; }
    void SetRepeatSpeed(unsigned v);
    unsigned RepeatStartDelay() const { return repeatStartDelay_; }
    void SetRepeatStartDelay(unsigned v);
    const std::string& Version() const { return version_; }
    const std::string& HintSecondLine() const { return hintSecondLine_; }
    // Appends a line to a non-empty Hint (again at each write).
    void SetHintSecondLine(const std::string& v);

    TOnScroll& OnChange() { return track_->OnScroll; }
    ui::TNotifyEvent& OnClickBtnLT() { return up_->OnClick; }
    ui::TNotifyEvent& OnClickBtnRD() { return down_->OnClick; }
    ui::TNotifyEvent OnMouseEnter;
    ui::TNotifyEvent OnMouseExit;

    TScroller* Track() const { return track_; }
    TButtonUp* ButtonUp() const { return up_; }
    TButtonDown* ButtonDown() const { return down_; }

protected:
    void WndProc(ui::TMessage& m) override;
    void Resize() override;
    void KeyDown(WORD& Key, ui::TShiftState Shift) override;
    void EnabledChanged() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void Notification(ui::TComponent* AComponent, ui::TOperation Operation) override;

private:
    void LayoutParts();

    unsigned repeatStartDelay_ = 150;
    unsigned repeatSpeed_ = 50;
    std::string hintSecondLine_;
    int smallChange_ = 1;
    TButtonUp* up_ = nullptr;
    TButtonDown* down_ = nullptr;
    TKindd kind_ = tbHorizontal;
    TScroller* track_ = nullptr;
    std::string version_;
};

}  // namespace controls
