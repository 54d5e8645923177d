#pragma once
// An integer entry field with up and down arrows.
//
// TTimerSpeedButton is a flat speed button that repeats its click while held:
// the first repeat after 400 ms, then every 100 ms while the pointer stays on
// it, and once more at release over it.
// TSpinButton holds an up and a down arrow side by side and reports their
// clicks. TFlatSpinEditInteger is a flat edit with a TSpinButton at its right
// edge: it takes only number characters (beeping at the others), keeps Value
// within MinValue..MaxValue (no limits when the two are equal) and steps it by
// Increment with the arrows or the Up and Down keys.
#include <cstdint>
#include <string>

#include "controls/FlatEdit.h"
#include "controls/FlatSpeedButton.h"
#include "ui/Bitmap.h"
#include "ui/Control.h"
#include "ui/Timer.h"

namespace controls {

class TTimerSpeedButton : public TFlatSpeedButton {
public:
    explicit TTimerSpeedButton(ui::TComponent* AOwner);

    // The press starts the repeat timer.
    bool AllowTimer() const { return allowTimer_; }
    void SetAllowTimer(bool v) { allowTimer_ = v; }
    // The repeat timer, once a press made it (none before).
    ui::TTimer* RepeatTimer() const { return timer_; }

protected:
    void MouseDown(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;
    void MouseUp(ui::TMouseButton b, ui::TShiftState s, int x, int y) override;

private:
    void RepeatTick(ui::TObject* Sender);

    bool allowTimer_ = false;
    ui::TTimer* timer_ = nullptr;  // owned by the button, freed with it
};

class TSpinButton : public ui::TCustomControl {
public:
    explicit TSpinButton(ui::TComponent* AOwner);

    TTimerSpeedButton* UpButton() const { return upButton_; }
    TTimerSpeedButton* DownButton() const { return downButton_; }
    TTimerSpeedButton* CurrentButton() const { return current_; }
    // Null loads the built-in arrow ("FlatUp", "FlatDown").
    void SetUpGlyph(ui::TBitmap* v);
    void SetDownGlyph(ui::TBitmap* v);
    ui::TBitmap* UpGlyph() const { return upButton_->Glyph(); }
    ui::TBitmap* DownGlyph() const { return downButton_->Glyph(); }
    int UpNumGlyphs() const { return upButton_->NumGlyphs(); }
    void SetUpNumGlyphs(int v) { upButton_->SetNumGlyphs(v); }
    int DownNumGlyphs() const { return downButton_->NumGlyphs(); }
    void SetDownNumGlyphs(int v) { downButton_->SetNumGlyphs(v); }
    // Takes the focus when an arrow is pressed.
    ui::TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(ui::TWinControl* v);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    ui::TNotifyEvent OnUpClick;
    ui::TNotifyEvent OnDownClick;

protected:
    void Loaded() override;
    void Notification(ui::TComponent* AComponent, ui::TOperation Operation) override;
    void WndProc(ui::TMessage& m) override;
    void Resize() override;
    void KeyDown(WORD& Key, ui::TShiftState Shift) override;
    void Paint() override;

private:
    TTimerSpeedButton* MakeArrowButton();
    static void SetArrowGlyph(TTimerSpeedButton* button, ui::TBitmap* v, const char* name, bool top);
    void PlaceSpinHalves(int H);
    void ArrowClick(ui::TObject* Sender);
    void ArrowMouseDown(ui::TObject* Sender, ui::TMouseButton Button, ui::TShiftState Shift, int X, int Y);
    void SelectArrowButton(TTimerSpeedButton* b);

    TTimerSpeedButton* upButton_ = nullptr;
    TTimerSpeedButton* downButton_ = nullptr;
    TTimerSpeedButton* current_ = nullptr;
    ui::TWinControl* focusControl_ = nullptr;  // not owned
};

class TFlatSpinEditInteger : public TCustomFlatEdit {
public:
    explicit TFlatSpinEditInteger(ui::TComponent* AOwner);
    ~TFlatSpinEditInteger() override;

    int32_t MinValue() const { return minValue_; }
    void SetMinValue(int32_t v) { minValue_ = v; }
    int32_t MaxValue() const { return maxValue_; }
    void SetMaxValue(int32_t v) { maxValue_ = v; }
    int32_t Increment() const { return increment_; }
    void SetIncrement(int32_t v) { increment_ = v; }
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool v) { editorEnabled_ = v; }
    // The text as a decimal integer; MinValue when it is none.
    int32_t Value();
    // Shows the value clamped to the limits.
    void SetValue(int64_t v);
    // Within MinValue..MaxValue, or within the integer range when the two
    // are equal (no limits).
    int32_t ClampToRange(int64_t v) const;
    TSpinButton* Button() const { return button_; }
    // The text's height + 7: the edit grows to it.
    int MinEditHeight();

    virtual bool AcceptsChar(char Key);
    virtual void StepUp(ui::TObject* Sender = nullptr);
    virtual void StepDown(ui::TObject* Sender = nullptr);

protected:
    void Loaded() override;
    void CreateParams(ui::TCreateParams& p) override;
    void CreateWnd() override;
    void WndProc(ui::TMessage& m) override;
    void Resize() override;
    void DoEnter() override;
    void DoExit() override;
    void KeyDown(WORD& Key, ui::TShiftState Shift) override;
    void KeyPress(char& Key) override;
    // A refused key or a step of a read-only field.
    virtual void Beep();

private:
    void UpdateEditRect();
    void PlaceButton();

    int32_t minValue_ = 0;
    int32_t maxValue_ = 0;
    int32_t increment_ = 1;
    bool editorEnabled_ = true;
    TSpinButton* button_ = nullptr;  // owned through the owner chain
};

}  // namespace controls
