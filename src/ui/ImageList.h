#pragma once
// TCustomImageList / TImageList: a component around a system image list
// (HIMAGELIST) of equally sized images, 32 bits per pixel with a mask, so
// that icons and pictures with alpha draw right.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "ui/Colors.h"
#include "ui/Component.h"

namespace ui {

class TBitmap;
class TCanvas;
class TIcon;
class TCustomImageList;

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };

// Lets any number of users (menus, list views) hear of changes to a list.
// The link unregisters itself when freed; Sender() turns null when the list
// goes first.
class TChangeLink : public TObject {
public:
    TChangeLink() = default;
    ~TChangeLink() override;
    TCustomImageList* Sender() const { return sender_; }
    TNotifyEvent OnChange;

private:
    friend class TCustomImageList;
    TCustomImageList* sender_ = nullptr;  // not owned
};

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* AOwner);
    ~TCustomImageList() override;

    // Copies size, settings and images of another list.
    void Assign(TPersistent* Source) override;

    // The system list, made on demand with ILC_COLOR32 (| ILC_MASK when
    // Masked). Raises EInvalidOperation "Invalid ImageList" when the system
    // refuses.
    HIMAGELIST Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    // Takes h over (destroyed with the list unless ShareImages); the width
    // and height become h's. Null drops the current list.
    void SetHandle(HIMAGELIST h);
    // A shared list is not destroyed by this object.
    bool ShareImages() const { return shareImages_; }
    void SetShareImages(bool v) { shareImages_ = v; }

    // 16 x 16 by default. Changing the size empties the list.
    int Width() const { return width_; }
    void SetWidth(int v) { SetSize(v, height_); }
    int Height() const { return height_; }
    void SetHeight(int v) { SetSize(width_, v); }
    void SetSize(int Width, int Height);
    // Changing these remakes the list empty.
    bool Masked() const { return masked_; }
    void SetMasked(bool v);
    int AllocBy() const { return allocBy_; }
    void SetAllocBy(int v);
    // The background the list draws under its images: clNone (transparent,
    // the default) or a colour.
    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor v);
    // The colour blended in for dsFocus and dsSelected; clNone for the
    // system's highlight colour.
    TColor BlendColor() const { return blendColor_; }
    void SetBlendColor(TColor v) { blendColor_ = v; }
    TDrawingStyle DrawingStyle() const { return drawingStyle_; }
    void SetDrawingStyle(TDrawingStyle v);

    int Count();
    // Each returns the index of the (first) new image. A bitmap wider than
    // the list gives one image per Width() pixels. Raises EInvalidOperation
    // "Invalid image size" for a bitmap smaller than the list's images and
    // "Unable to insert an image" when the system refuses.
    int Add(TBitmap* Image, TBitmap* Mask);
    // Pixels of MaskColor become transparent. The caller's bitmap is left
    // as it was (the system blackens those pixels in what it is given).
    int AddMasked(TBitmap* Image, TColor MaskColor);
    int AddIcon(TIcon* Image);
    // Appends copies of every image of Source (pixels, alpha and mask).
    void AddImages(TCustomImageList* Source);
    void Replace(int Index, TBitmap* Image, TBitmap* Mask);
    // Index out of range: EInvalidOperation "Invalid ImageList Index".
    void Delete(int Index);
    void Clear();

    // Draws image Index with its top-left at (X, Y); disabled images are
    // drawn embossed in the system's highlight and shadow colours.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    // Image Index, drawn onto Image sized to the list's images.
    void GetBitmap(int Index, TBitmap* Image);
    // Image Index as an icon with its mask.
    void GetIcon(int Index, TIcon* Image);

    void RegisterChanges(TChangeLink* Value);
    void UnRegisterChanges(TChangeLink* Value);
    // Whether User holds this list through one of its TImageListLinks.
    bool LinkedTo(const TComponent* User) const;

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    void CheckIndex(int Index);

private:
    void FreeHandle();
    void Recreate();

    HIMAGELIST handle_ = nullptr;
    int width_ = 16;
    int height_ = 16;
    bool masked_ = true;
    int allocBy_ = 4;
    bool shareImages_ = false;
    TColor bkColor_ = clNone;
    TColor blendColor_ = clNone;
    TDrawingStyle drawingStyle_ = dsNormal;
    std::vector<TChangeLink*> links_;  // not owned
};

class TImageList : public TCustomImageList {
public:
    explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
};

// A component's hold on an image list (menus, page controls, list views):
// the change link and the free notification together. Attaching another
// list, or none, leaves the old one entirely; the user's Notification asks
// ListFreed so that a list freed first leaves nothing behind.
class TImageListLink : public TChangeLink {
public:
    TImageListLink(TComponent* AUser, TNotifyEvent AOnChange);
    TCustomImageList* Images() const { return list_; }
    // False when Value is attached already.
    bool Attach(TCustomImageList* Value);
    // True when AComponent is this link's list being freed; the link has
    // let go of it and the user updates what showed it.
    bool ListFreed(TComponent* AComponent, TOperation Operation);

private:
    friend class TCustomImageList;
    TComponent* user_;                  // not owned: the component holding the list
    TCustomImageList* list_ = nullptr;  // not owned
};

}  // namespace ui
