#include "ui/Graphic.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <typeindex>
#include <vector>

#include "ui/Bitmap.h"
#include "ui/Exception.h"
#include "ui/Icon.h"
#include "ui/Stream.h"

namespace ui {

// ================================================================ TGraphic

void TGraphic::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    Changed(this);
}

void TGraphic::SetModified(bool v) {
    if (v)
        Changed(this);
    else
        modified_ = false;
}

void TGraphic::Changed(TObject*) {
    modified_ = true;
    if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& FileName) {
    TFileStream s(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&s);
}

void TGraphic::SaveToFile(const std::string& FileName) {
    TFileStream s(FileName, fmCreate);
    SaveToStream(&s);
}

// ================================================================ file formats

namespace {

struct FileFormat {
    std::string extension;  // lower case, no dot
    std::string description;
    TGraphicFactory factory;
    std::type_index graphicClass;
};

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::type_index ClassOf(const TGraphicFactory& factory) {
    std::unique_ptr<TGraphic> probe(factory ? factory() : nullptr);
    if (!probe) throw EInvalidGraphic("A picture file format needs a factory that makes a graphic");
    return std::type_index(typeid(*probe));
}

// Built on first use, so formats registered while the program's units
// initialise find the defaults already in place.
std::vector<FileFormat>& Formats() {
    static std::vector<FileFormat> formats = [] {
        std::vector<FileFormat> v;
        v.push_back({"bmp", "Bitmaps", [] { return static_cast<TGraphic*>(new TBitmap); }, typeid(TBitmap)});
        v.push_back({"ico", "Icons", [] { return static_cast<TGraphic*>(new TIcon); }, typeid(TIcon)});
        return v;
    }();
    return formats;
}

FileFormat* FindFormat(const std::string& extension) {
    const std::string ext = Lower(extension);
    for (FileFormat& f : Formats())
        if (f.extension == ext) return &f;
    return nullptr;
}

// The extension of a file name: the part after the last dot of the last
// path component, or "".
std::string ExtensionOf(const std::string& fileName) {
    const size_t slash = fileName.find_last_of("\\/:");
    const size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return fileName.substr(dot + 1);
}

}  // namespace

TGraphic* TGraphic::Clone() const {
    const std::type_index mine(typeid(*this));
    for (const FileFormat& f : Formats()) {
        if (f.graphicClass != mine) continue;
        std::unique_ptr<TGraphic> copy(f.factory());
        copy->Assign(const_cast<TGraphic*>(this));
        return copy.release();
    }
    throw EInvalidGraphic("Cannot copy a picture of a class that has no registered file format");
}

void TPicture::RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                  TGraphicFactory Factory) {
    const std::type_index cls = ClassOf(Factory);
    std::string ext = Lower(Extension);
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    if (FileFormat* f = FindFormat(ext)) {
        f->description = Description;
        f->factory = std::move(Factory);
        f->graphicClass = cls;
        return;
    }
    Formats().push_back({ext, Description, std::move(Factory), cls});
}

void TPicture::UnregisterGraphicClass(const std::type_info& GraphicClass) {
    auto& v = Formats();
    const std::type_index cls(GraphicClass);
    v.erase(std::remove_if(v.begin(), v.end(), [&](const FileFormat& f) { return f.graphicClass == cls; }), v.end());
}

TGraphic* TPicture::CreateGraphicForExtension(const std::string& Extension) {
    const FileFormat* f = FindFormat(Extension);
    return f ? f->factory() : nullptr;
}

std::string TPicture::FileFormatDescription(const std::string& Extension) {
    const FileFormat* f = FindFormat(Extension);
    return f ? f->description : std::string();
}

// ================================================================ TPicture

void TPicture::Replace(TGraphic* g) {
    graphic_.reset(g);
    if (graphic_) graphic_->OnChange = TNotifyEvent(this, &TPicture::Changed);
    Changed(this);
}

void TPicture::SetGraphic(TGraphic* g) {
    if (g == graphic_.get()) return;
    Replace(g ? g->Clone() : nullptr);
}

TBitmap* TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap*>(graphic_.get())) Replace(new TBitmap);
    return static_cast<TBitmap*>(graphic_.get());
}

void TPicture::SetBitmap(TBitmap* v) { SetGraphic(v); }

TIcon* TPicture::Icon() {
    if (!dynamic_cast<TIcon*>(graphic_.get())) Replace(new TIcon);
    return static_cast<TIcon*>(graphic_.get());
}

void TPicture::SetIcon(TIcon* v) { SetGraphic(v); }

int TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }
int TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

void TPicture::LoadFromFile(const std::string& FileName) {
    const std::string ext = ExtensionOf(FileName);
    std::unique_ptr<TGraphic> g(CreateGraphicForExtension(ext));
    if (!g) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
    g->LoadFromFile(FileName);
    Replace(g.release());
}

void TPicture::SaveToFile(const std::string& FileName) {
    if (graphic_) graphic_->SaveToFile(FileName);
}

void TPicture::Assign(TPersistent* Source) {
    if (!Source) {
        SetGraphic(nullptr);
    } else if (auto* p = dynamic_cast<TPicture*>(Source)) {
        SetGraphic(p->Graphic());
    } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(g);
    } else {
        TPersistent::Assign(Source);
    }
}

void TPicture::Changed(TObject*) {
    if (OnChange) OnChange(this);
}

}  // namespace ui
