#pragma once
// Small routines of the settings: the silent check-box setter and the
// product's web page.
#include "controls/FlatCheckBox.h"

// Sets the box without running its OnClick.
void SetCheckedSilently(controls::TFlatCheckBox* Box, bool Value);
// Opens the product's web page in the user's browser.
void OpenHomePage();

// The address OpenHomePage opens.
inline constexpr char HomePageAddress[] = "https://veskara.example.org/";
