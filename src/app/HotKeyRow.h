#pragma once
// One hot key of the Shortcuts panel as the user sets it: four modifier
// boxes and the edit that holds the key, read and shown as one value.
#include "controls/FlatCheckBox.h"
#include "controls/FlatEdit.h"
#include "core/HotKeys.h"

struct THotKeyRow {
    // Not owned: the form owns its controls.
    controls::TFlatCheckBox* Ctrl = nullptr;
    controls::TFlatCheckBox* Alt = nullptr;
    controls::TFlatCheckBox* Shift = nullptr;
    controls::TFlatCheckBox* Win = nullptr;
    controls::TFlatEdit* Key = nullptr;

    core::THotKey Value() const {
        return {Ctrl->Checked(), Alt->Checked(), Shift->Checked(), Win->Checked(), Key->Text()};
    }
    void Show(const core::THotKey& K) {
        Ctrl->SetChecked(K.Ctrl);
        Alt->SetChecked(K.Alt);
        Shift->SetChecked(K.Shift);
        Win->SetChecked(K.Win);
        Key->SetText(K.Key);
    }
};
