#pragma once
// The run time's integer errors: code that runs with overflow and range
// checks raises these instead of letting a result wrap.
#include "ui/Exception.h"

namespace ui {

VSK_EXCEPTION(EIntError, Exception);
// A sum, difference, product or quotient outside its type.
VSK_EXCEPTION(EIntOverflow, EIntError);
// A value converted to a narrower type that cannot hold it.
VSK_EXCEPTION(ERangeError, EIntError);
VSK_EXCEPTION(EDivByZero, EIntError);

}  // namespace ui
