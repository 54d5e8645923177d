#include "ui/ImageList.h"

#include <algorithm>

#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Exception.h"
#include "ui/GdiGuards.h"
#include "ui/Icon.h"

namespace ui {

namespace {

COLORREF ListColor(TColor c) {
    if (c == clNone) return CLR_NONE;
    if (c == clDefault) return CLR_DEFAULT;
    return ColorToCOLORREF(c);
}

// Paints the brush where the source is black, keeps the destination where
// it is white.
constexpr DWORD kRopDSPDxax = 0x00E20746;

}  // namespace

// ================================================================ TChangeLink

TChangeLink::~TChangeLink() {
    if (sender_) sender_->UnRegisterChanges(this);
}

// ================================================================ TCustomImageList

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* l : links_) l->sender_ = nullptr;
    links_.clear();
    FreeHandle();
}

void TCustomImageList::FreeHandle() {
    if (handle_ && !shareImages_) ImageList_Destroy(handle_);
    handle_ = nullptr;
}

void TCustomImageList::Recreate() {
    FreeHandle();
    Change();
}

HIMAGELIST TCustomImageList::Handle() {
    if (!handle_) {
        handle_ = ImageList_Create(width_, height_, ILC_COLOR32 | (masked_ ? ILC_MASK : 0), allocBy_, allocBy_);
        if (!handle_) throw EInvalidOperation("Invalid ImageList");
        ImageList_SetBkColor(handle_, ListColor(bkColor_));
    }
    return handle_;
}

void TCustomImageList::SetHandle(HIMAGELIST h) {
    if (h == handle_) return;
    FreeHandle();
    handle_ = h;
    if (h) {
        int w = 0, hgt = 0;
        if (ImageList_GetIconSize(h, &w, &hgt)) {
            width_ = w;
            height_ = hgt;
        }
    }
    Change();
}

void TCustomImageList::SetSize(int Width, int Height) {
    Width = std::max(Width, 1);
    Height = std::max(Height, 1);
    if (Width == width_ && Height == height_) return;
    width_ = Width;
    height_ = Height;
    Recreate();
}

void TCustomImageList::SetMasked(bool v) {
    if (v == masked_) return;
    masked_ = v;
    Recreate();
}

void TCustomImageList::SetAllocBy(int v) {
    v = std::max(v, 1);
    if (v == allocBy_) return;
    allocBy_ = v;
    Recreate();
}

void TCustomImageList::SetBkColor(TColor v) {
    if (v == bkColor_) return;
    bkColor_ = v;
    if (handle_) ImageList_SetBkColor(handle_, ListColor(v));
    Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle v) {
    if (v == drawingStyle_) return;
    drawingStyle_ = v;
    Change();
}

void TCustomImageList::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TCustomImageList*>(Source);
    if (!src) {
        TComponent::Assign(Source);
        return;
    }
    if (src == this) return;
    HIMAGELIST copy = nullptr;
    if (src->handle_) {
        copy = ImageList_Duplicate(src->handle_);
        if (!copy) throw EInvalidOperation("Invalid ImageList");
    }
    FreeHandle();
    width_ = src->width_;
    height_ = src->height_;
    masked_ = src->masked_;
    allocBy_ = src->allocBy_;
    bkColor_ = src->bkColor_;
    blendColor_ = src->blendColor_;
    drawingStyle_ = src->drawingStyle_;
    shareImages_ = false;
    handle_ = copy;
    Change();
}

int TCustomImageList::Count() { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

void TCustomImageList::CheckIndex(int Index) {
    if (Index < 0 || Index >= Count()) throw EInvalidOperation("Invalid ImageList Index");
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
    if (!Image || Image->Width() < width_ || Image->Height() < height_) throw EInvalidOperation("Invalid image size");
    const HIMAGELIST list = Handle();
    const int i = ImageList_Add(list, Image->Handle(), Mask ? Mask->Handle() : nullptr);
    if (i < 0) throw EInvalidOperation("Unable to insert an image");
    Change();
    return i;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
    if (!Image || Image->Width() < width_ || Image->Height() < height_) throw EInvalidOperation("Invalid image size");
    TBitmap copy;
    copy.Assign(Image);
    const HIMAGELIST list = Handle();
    const int i = ImageList_AddMasked(list, copy.Handle(), ColorToCOLORREF(MaskColor));
    if (i < 0) throw EInvalidOperation("Unable to insert an image");
    Change();
    return i;
}

int TCustomImageList::AddIcon(TIcon* Image) {
    if (!Image || Image->Empty()) throw EInvalidOperation("Invalid image size");
    const int i = ImageList_ReplaceIcon(Handle(), -1, Image->Handle());
    if (i < 0) throw EInvalidOperation("Unable to insert an image");
    Change();
    return i;
}

// Through icons: the list's pixels (alpha included) and mask survive, and the
// system's own bitmaps, which its DCs keep selected, are never touched.
void TCustomImageList::AddImages(TCustomImageList* Source) {
    if (!Source || Source == this || !Source->handle_) return;
    const HIMAGELIST list = Handle();
    const int n = ImageList_GetImageCount(Source->handle_);
    for (int i = 0; i < n; ++i) {
        ScopedHIcon icon(ImageList_GetIcon(Source->handle_, i, ILD_NORMAL));
        if (!icon || ImageList_ReplaceIcon(list, -1, icon) < 0) throw EInvalidOperation("Unable to insert an image");
    }
    if (n > 0) Change();
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
    CheckIndex(Index);
    if (!Image || Image->Width() < width_ || Image->Height() < height_) throw EInvalidOperation("Invalid image size");
    if (!ImageList_Replace(handle_, Index, Image->Handle(), Mask ? Mask->Handle() : nullptr))
        throw EInvalidOperation("Unable to replace an image");
    Change();
}

void TCustomImageList::Delete(int Index) {
    CheckIndex(Index);
    ImageList_Remove(handle_, Index);
    Change();
}

void TCustomImageList::Clear() {
    if (handle_) ImageList_Remove(handle_, -1);
    Change();
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
    // Painting code asks for images that may have gone: nothing to draw.
    if (!Canvas || !handle_ || Index < 0 || Index >= Count()) return;
    const HDC dc = Canvas->Handle();
    if (Enabled) {
        static const UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
        ImageList_DrawEx(handle_, Index, dc, X, Y, 0, 0, ListColor(bkColor_),
                         blendColor_ == clNone ? CLR_DEFAULT : ListColor(blendColor_), styles[drawingStyle_]);
        return;
    }
    // Disabled: the image on white, reduced to one bit (white stays white,
    // everything else turns black), then stamped in the highlight colour one
    // pixel down and right and in the shadow colour on top.
    ScopedMemDC monoDC(dc);
    ScopedGdiObject<HBITMAP> mono(CreateBitmap(width_, height_, 1, 1, nullptr));
    if (!monoDC || !mono) return;
    {
        ScopedSelectObject selMono(monoDC, mono);
        PatBlt(monoDC, 0, 0, width_, height_, WHITENESS);
        ImageList_DrawEx(handle_, Index, monoDC, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
        ScopedGdiObject<HBRUSH> highlight(CreateSolidBrush(ColorToCOLORREF(clBtnHighlight)));
        ScopedGdiObject<HBRUSH> shadow(CreateSolidBrush(ColorToCOLORREF(clBtnShadow)));
        ScopedSaveDC saved(dc);
        ::SetTextColor(dc, RGB(255, 255, 255));
        ::SetBkColor(dc, RGB(0, 0, 0));
        SelectObject(dc, highlight);
        BitBlt(dc, X + 1, Y + 1, width_, height_, monoDC, 0, 0, kRopDSPDxax);
        SelectObject(dc, shadow);
        BitBlt(dc, X, Y, width_, height_, monoDC, 0, 0, kRopDSPDxax);
    }
}

void TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
    if (!Image) return;
    CheckIndex(Index);
    Image->SetSize(width_, height_);
    Draw(Image->Canvas(), 0, 0, Index);
}

void TCustomImageList::GetIcon(int Index, TIcon* Image) {
    if (!Image) return;
    CheckIndex(Index);
    const HICON h = ImageList_GetIcon(handle_, Index, ILD_NORMAL);
    if (!h) throw EOutOfResources("Out of system resources");
    Image->SetHandle(h);
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
    if (!Value || std::find(links_.begin(), links_.end(), Value) != links_.end()) return;
    if (Value->sender_) Value->sender_->UnRegisterChanges(Value);
    links_.push_back(Value);
    Value->sender_ = this;
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
    if (!Value) return;
    links_.erase(std::remove(links_.begin(), links_.end(), Value), links_.end());
    if (Value->sender_ == this) Value->sender_ = nullptr;
}

bool TCustomImageList::LinkedTo(const TComponent* User) const {
    for (TChangeLink* l : links_)
        if (auto* link = dynamic_cast<TImageListLink*>(l); link && link->Images() == this && link->user_ == User)
            return true;
    return false;
}

void TCustomImageList::Change() {
    // A handler may unregister its link: walk a copy.
    const std::vector<TChangeLink*> links = links_;
    for (TChangeLink* l : links)
        if (l->sender_ == this && l->OnChange) l->OnChange(this);
    if (OnChange) OnChange(this);
}

// ================================================================ TImageListLink

TImageListLink::TImageListLink(TComponent* AUser, TNotifyEvent AOnChange) : user_(AUser) { OnChange = AOnChange; }

bool TImageListLink::Attach(TCustomImageList* Value) {
    if (Value == list_) return false;
    if (TCustomImageList* old = list_) {
        old->UnRegisterChanges(this);
        list_ = nullptr;
        // Another link of the same user (a list view's small and large
        // images) may still hold it.
        if (!old->LinkedTo(user_)) user_->RemoveFreeNotification(old);
    }
    list_ = Value;
    if (Value) {
        Value->RegisterChanges(this);
        user_->FreeNotification(Value);
    }
    return true;
}

bool TImageListLink::ListFreed(TComponent* AComponent, TOperation Operation) {
    if (Operation != opRemove || !list_ || AComponent != list_) return false;
    // A list deleted without Free has dropped its links already.
    if (Sender() == list_) list_->UnRegisterChanges(this);
    list_ = nullptr;
    return true;
}

}  // namespace ui
