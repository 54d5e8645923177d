#pragma once
// A picture as forms keep it: the graphic's class name as a length-prefixed
// string (one length byte), then the graphic's own data (for a PNG picture a
// whole PNG data stream). Classes that can be read this way register their
// name.
#include <string>
#include <typeinfo>

#include "ui/Graphic.h"

namespace ui {

void RegisterPictureDataClass(const std::string& ClassName, const std::type_info& GraphicClass,
                              TGraphicFactory Factory);
template <class T> void RegisterPictureDataClass(const std::string& ClassName) {
    RegisterPictureDataClass(ClassName, typeid(T), [] { return static_cast<TGraphic*>(new T); });
}
void UnregisterPictureDataClass(const std::string& ClassName);

// Reads the class name and the graphic's data from the stream's position into
// the picture. Raises EInvalidGraphic "Unknown picture class <name>" for a
// class that is not registered; a failed read leaves the picture as it was.
void ReadPictureData(TPicture* Picture, TStream* Stream);
// Writes the picture's graphic (nothing for an empty picture).
void WritePictureData(TPicture* Picture, TStream* Stream);

}  // namespace ui
