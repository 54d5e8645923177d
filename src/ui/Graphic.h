#pragma once
// TGraphic: the base of every picture class (bitmap, icon, PNG), and TPicture,
// which holds one graphic of any registered class and picks the class for a
// file by its extension.
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>

#include "ui/Component.h"
#include "ui/Types.h"

namespace ui {

class TCanvas;
class TStream;
class TBitmap;
class TIcon;

class TGraphic : public TPersistent {
public:
    TGraphic() = default;

    // Paints the picture into r of the canvas, stretched to r's size.
    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;

    virtual int Width() const = 0;
    virtual void SetWidth(int v) = 0;
    virtual int Height() const = 0;
    virtual void SetHeight(int v) = 0;
    virtual bool Empty() const = 0;
    // The picture's palette; null for pictures kept in true colour, as
    // every one of this library is.
    virtual HPALETTE Palette() const { return nullptr; }
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool v);
    bool Modified() const { return modified_; }
    void SetModified(bool v);

    // Streams hold the picture in the class's file format and are read from
    // their current position.
    virtual void LoadFromStream(TStream* Stream) = 0;
    virtual void SaveToStream(TStream* Stream) = 0;
    virtual void LoadFromFile(const std::string& FileName);
    virtual void SaveToFile(const std::string& FileName);

    // A new graphic of the same class holding the same picture, owned by the
    // caller. The default makes it through the class's registered file
    // format (TPicture::RegisterFileFormat) and Assign; a class that is not
    // registered overrides it.
    virtual TGraphic* Clone() const;

    TNotifyEvent OnChange;

protected:
    // Marks the picture modified and raises OnChange.
    virtual void Changed(TObject* Sender);

    bool transparent_ = false;

private:
    bool modified_ = false;
};

using TGraphicFactory = std::function<TGraphic*()>;

// Holds at most one graphic, owned by the picture.
class TPicture : public TPersistent {
public:
    TGraphic* Graphic() const { return graphic_.get(); }
    // Keeps a copy of g (g->Clone()); the caller keeps g. Null empties the
    // picture.
    void SetGraphic(TGraphic* g);
    // The graphic as a bitmap (an icon): when the picture holds anything else
    // it is replaced by a new, empty one first.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* v);
    TIcon* Icon();
    void SetIcon(TIcon* v);

    int Width() const;
    int Height() const;

    // Loads with the class registered for the file's extension; raises
    // EInvalidGraphic "Unknown picture file extension (.xxx)" when there is
    // none. A failed load leaves the picture as it was.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName);

    // Null, a TPicture or a TGraphic.
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;

    // The file formats: an extension (without the dot, any case) maps to a
    // description and a factory. Registering an extension again replaces it.
    // "bmp" (TBitmap) and "ico" (TIcon) are there from the start. The factory
    // is called once while registering, to learn which class it makes (for
    // UnregisterGraphicClass and Clone), so a graphic's constructor must be
    // cheap and free of side effects.
    static void RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                   TGraphicFactory Factory);
    template <class T> static void RegisterFileFormat(const std::string& Extension, const std::string& Description) {
        RegisterFileFormat(Extension, Description, [] { return static_cast<TGraphic*>(new T); });
    }
    // Removes every format whose factory makes this class.
    static void UnregisterGraphicClass(const std::type_info& GraphicClass);
    template <class T> static void UnregisterGraphicClass() { UnregisterGraphicClass(typeid(T)); }
    // A new graphic for the extension (owned by the caller), or null.
    static TGraphic* CreateGraphicForExtension(const std::string& Extension);
    // The description registered for the extension, or "".
    static std::string FileFormatDescription(const std::string& Extension);

protected:
    void Changed(TObject* Sender);

private:
    void Replace(TGraphic* g);

    std::unique_ptr<TGraphic> graphic_;
};

}  // namespace ui
