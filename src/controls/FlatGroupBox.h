#pragma once
// TFlatGroupBox and TFlatPanel: flat containers. The group box draws a
// one-pixel frame (or only a top line) interrupted by its caption; the panel a
// one-pixel highlight/shadow frame with a one-line caption. Both paint through
// an off-screen bitmap and can show their parent's image instead of a
// background colour (Transparent).
#include <cstdint>

#include "ui/StdCtrls.h"

namespace controls {

using TAdvColors = uint8_t;  // 0..100, a percentage
// brFull or brOnlyTopLine (FlatUtilitys.h).
enum TGroupBoxBorder : uint8_t;

class TFlatGroupBox : public ui::TCustomControl {
public:
    explicit TFlatGroupBox(ui::TComponent* AOwner);

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    ui::TColor ColorBorder() const { return colorBorder_; }
    void SetColorBorder(ui::TColor v);
    TGroupBoxBorder Border() const { return border_; }
    void SetBorder(TGroupBoxBorder v);
    TAdvColors AdvColorBorder() const { return advColorBorder_; }
    void SetAdvColorBorder(TAdvColors v);
    // ColorBorder derived from Color's lightness; turns ParentColor on.
    bool UseAdvColors() const { return useAdvColors_; }
    void SetUseAdvColors(bool v);
    // Right to left (bdRightToLeft): the caption at the right end of the top
    // line.
    void SetBiDiMode(ui::TBiDiMode v) override;

protected:
    void Paint() override;
    void WndProc(ui::TMessage& m) override;
    void Resize() override;
    bool DialogChar(char Key) override;
    void EnabledChanged() override;
    void TextChanged() override;

private:
    void DeriveAdvColors();

    bool transparent_ = false;
    bool useAdvColors_ = false;
    TAdvColors advColorBorder_ = 50;
    ui::TColor colorBorder_ = 0x8396A0;
    TGroupBoxBorder border_ = TGroupBoxBorder(0);  // brFull
};

class TFlatPanel : public ui::TCustomPanel {
public:
    explicit TFlatPanel(ui::TComponent* AOwner);

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    ui::TColor ColorHighLight() const { return colorHighLight_; }
    void SetColorHighLight(ui::TColor v);
    ui::TColor ColorShadow() const { return colorShadow_; }
    void SetColorShadow(ui::TColor v);

protected:
    void Paint() override;
    void EnabledChanged() override;
    void TextChanged() override;

private:
    bool transparent_ = false;
    ui::TColor colorHighLight_ = 0x8396A0;
    ui::TColor colorShadow_ = 0x8396A0;
};

}  // namespace controls
