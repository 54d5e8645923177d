#include "ui/PictureData.h"

#include <memory>
#include <typeindex>
#include <vector>

#include "ui/Exception.h"
#include "ui/Stream.h"

namespace ui {

namespace {

struct TDataClass {
    std::string name;
    std::type_index graphicClass;
    TGraphicFactory factory;
};

std::vector<TDataClass>& DataClasses() {
    static std::vector<TDataClass> classes;
    return classes;
}

}  // namespace

void RegisterPictureDataClass(const std::string& ClassName, const std::type_info& GraphicClass,
                              TGraphicFactory Factory) {
    UnregisterPictureDataClass(ClassName);
    DataClasses().push_back({ClassName, std::type_index(GraphicClass), std::move(Factory)});
}

void UnregisterPictureDataClass(const std::string& ClassName) {
    std::erase_if(DataClasses(), [&](const TDataClass& c) { return c.name == ClassName; });
}

void ReadPictureData(TPicture* Picture, TStream* Stream) {
    unsigned char length = 0;
    Stream->ReadBuffer(&length, 1);
    std::string name(length, '\0');
    if (length) Stream->ReadBuffer(name.data(), length);
    for (const TDataClass& c : DataClasses()) {
        if (c.name != name) continue;
        std::unique_ptr<TGraphic> graphic(c.factory());
        graphic->LoadFromStream(Stream);
        Picture->SetGraphic(graphic.get());
        return;
    }
    throw EInvalidGraphic("Unknown picture class " + name);
}

void WritePictureData(TPicture* Picture, TStream* Stream) {
    TGraphic* graphic = Picture->Graphic();
    if (!graphic) return;
    const std::type_index mine(typeid(*graphic));
    for (const TDataClass& c : DataClasses()) {
        if (c.graphicClass != mine) continue;
        const auto length = static_cast<unsigned char>(c.name.size());
        Stream->WriteBuffer(&length, 1);
        Stream->WriteBuffer(c.name.data(), length);
        graphic->SaveToStream(Stream);
        return;
    }
    throw EInvalidGraphic("Cannot write a picture of a class that has no registered name");
}

}  // namespace ui
