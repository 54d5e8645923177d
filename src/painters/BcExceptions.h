#pragma once
// The bar menus' own exceptions.
#include <string>

#include "ui/Exception.h"

namespace painters {

class EInvalidPropertyIndex : public ui::Exception {
public:
    using ui::Exception::Exception;
};
class ERequireOwner : public ui::Exception {
public:
    using ui::Exception::Exception;
};

// "Invalid property index 7."
inline std::string InvalidPropertyIndexText(int Index) {
    return "Invalid property index " + std::to_string(Index) + ".";
}
// "Tried to create TBcBar with no owner."
inline std::string RequireOwnerText(const char* ClassName) {
    return std::string("Tried to create ") + ClassName + " with no owner.";
}

}  // namespace painters
