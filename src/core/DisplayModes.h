#pragma once
// The primary display's modes: listed by index, named as text, built into
// the three-level resolution menu, and test-switched to behind a
// confirmation that always brings the mode in use back.
#include <windows.h>

#include <functional>
#include <string>

#include "ui/Component.h"

namespace ui {
class TMenu;
}

namespace core {

// The picked mode's index; saved as "Resolution" in the settings file.
extern int SelectedDisplayMode;

// Width x height x bits @ frequency, e.g. "1024x768x32 @ 60 Hz". An index
// that names no mode gives the text of the mode in use.
std::string DisplayModeText(int Index);

// The index of the first mode equal to the one in use (size, depth and
// frequency).
int FindCurrentDisplayMode();

// Index when it names a mode, otherwise FindCurrentDisplayMode: an index
// read from an old or edited settings file may name no mode of this display.
int ValidDisplayMode(int Index);

// Adds every mode to Menu: size items at the top (the newest first), depth
// items below them, then one frequency item per mode whose Tag is the
// mode's index and whose OnClick is OnClick. Modes at the hardware's default
// rate (frequency 1) get no item but keep their index.
void FillResolutionMenu(ui::TMenu* Menu, ui::TNotifyEvent OnClick);

// Switches to SelectedDisplayMode for a test, runs Confirm (the modal
// confirmation), and puts the mode that was in use back. Both switches are
// temporary: nothing is written to the registry, so a crash during the test
// leaves the display's stored mode as it was.
void TestDisplayMode(const std::function<void()>& Confirm);

// ---------------------------------------------------------------- seam

// What the functions above ask of the system. The real one asks the primary
// display; tests hand in a list of modes and record the switches.
class TDisplayDriver {
public:
    virtual ~TDisplayDriver() = default;
    // Mode Index (ENUM_CURRENT_SETTINGS: the one in use); false past the last.
    virtual bool EnumSettings(DWORD Index, DEVMODEA& Mode) = 0;
    virtual LONG ChangeSettings(DEVMODEA& Mode, DWORD Flags) = 0;
};

// Installs Driver (null: the real one) and returns the one it replaces.
TDisplayDriver* SetDisplayDriver(TDisplayDriver* Driver);

}  // namespace core
