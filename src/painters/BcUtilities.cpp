#include "painters/BcUtilities.h"

#include <cstring>

#include "painters/BcChecked.h"
#include "ui/Bitmap.h"
#include "ui/GdiObjects.h"

namespace painters {

uint32_t PackColor(int b0, int b1, int b2, int b3) {
    auto low = [](int v) { return static_cast<uint32_t>(v) & 0xFFu; };
    return low(b0) | (low(b1) << 8) | (low(b2) << 16) | (low(b3) << 24);
}

int MinInteger(int a, int b) { return a > b ? b : a; }
int MaxInteger(int a, int b) { return a < b ? b : a; }

int RectWidth(const ui::TRect& r) { return checked::Sub<int>(r.right, r.left); }
int RectHeight(const ui::TRect& r) { return checked::Sub<int>(r.bottom, r.top); }

ui::TRect BitmapRect(ui::TBitmap* Bitmap) {
    if (!Bitmap) return ui::Rect(0, 0, 0, 0);
    return ui::Rect(0, 0, Bitmap->Width(), Bitmap->Height());
}

LOGFONTA RotatedLogFont(ui::TFont* Font, int Angle) {
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof(lf));
    lf.lfHeight = Font->Height();
    lf.lfEscapement = checked::Mul<int>(Angle, 10);
    const ui::TFontStyles style = Font->Style();
    lf.lfWeight = style.Contains(ui::fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style.Contains(ui::fsItalic) ? 1 : 0;
    lf.lfUnderline = style.Contains(ui::fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = style.Contains(ui::fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    switch (Font->Pitch()) {
    case ui::fpVariable: lf.lfPitchAndFamily = VARIABLE_PITCH; break;
    case ui::fpFixed: lf.lfPitchAndFamily = FIXED_PITCH; break;
    default: lf.lfPitchAndFamily = DEFAULT_PITCH; break;
    }
    // The record holds 31 characters and the terminating zero; a longer
    // name is cut there.
    const std::string name = Font->Name();
    const size_t n = name.size() < LF_FACESIZE - 1 ? name.size() : LF_FACESIZE - 1;
    std::memcpy(lf.lfFaceName, name.data(), n);
    lf.lfFaceName[n] = '\0';
    return lf;
}

HFONT CreateRotatedFont(ui::TFont* Font, int Angle) {
    const LOGFONTA lf = RotatedLogFont(Font, Angle);
    return CreateFontIndirectA(&lf);
}

}  // namespace painters
