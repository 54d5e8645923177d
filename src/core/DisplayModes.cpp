#include "core/DisplayModes.h"

#include <cstring>

#include "ui/Menus.h"

namespace core {

int SelectedDisplayMode = 0;

namespace {

// Raw and rotated modes too: the driver's whole list.
constexpr DWORD kEnumFlags = 0xFFFF;
// The hardware's default rate: listed by some drivers, never offered.
constexpr DWORD kDefaultRate = 1;

class TSystemDisplay : public TDisplayDriver {
public:
    bool EnumSettings(DWORD Index, DEVMODEA& Mode) override {
        return EnumDisplaySettingsExA(nullptr, Index, &Mode, kEnumFlags) != FALSE;
    }
    LONG ChangeSettings(DEVMODEA& Mode, DWORD Flags) override {
        return ChangeDisplaySettingsExA(nullptr, &Mode, nullptr, Flags, nullptr);
    }
};

TSystemDisplay SystemDisplay;
TDisplayDriver* Driver = &SystemDisplay;

bool ReadMode(DWORD Index, DEVMODEA& Mode) {
    std::memset(&Mode, 0, sizeof Mode);
    Mode.dmSize = sizeof Mode;
    return Driver->EnumSettings(Index, Mode);
}

bool SameMode(const DEVMODEA& a, const DEVMODEA& b) {
    return a.dmBitsPerPel == b.dmBitsPerPel && a.dmPelsWidth == b.dmPelsWidth && a.dmPelsHeight == b.dmPelsHeight;
}

std::string Text(const DEVMODEA& m) {
    return std::to_string(m.dmPelsWidth) + "x" + std::to_string(m.dmPelsHeight) + "x" + std::to_string(m.dmBitsPerPel) +
           " @ " + std::to_string(m.dmDisplayFrequency) + " Hz";
}

// The mode Index names, or the one in use when it names none.
DEVMODEA ModeOrCurrent(int Index) {
    DEVMODEA m;
    if (Index < 0 || !ReadMode(static_cast<DWORD>(Index), m)) ReadMode(ENUM_CURRENT_SETTINGS, m);
    return m;
}

ui::TMenuItem* NewItem(ui::TComponent* Owner, const std::string& Caption, int ImageIndex) {
    auto* item = ui::TComponent::Create<ui::TMenuItem>(Owner);
    item->SetCaption(Caption);
    item->SetImageIndex(ImageIndex);
    return item;
}

}  // namespace

TDisplayDriver* SetDisplayDriver(TDisplayDriver* NewDriver) {
    TDisplayDriver* old = Driver == &SystemDisplay ? nullptr : Driver;
    Driver = NewDriver ? NewDriver : &SystemDisplay;
    return old;
}

std::string DisplayModeText(int Index) { return Text(ModeOrCurrent(Index)); }

int FindCurrentDisplayMode() {
    DEVMODEA current;
    if (!ReadMode(ENUM_CURRENT_SETTINGS, current)) return 0;
    // No mode may equal the one in use (a driver that reports its current
    // rate differently from its list): then the first mode of the same size
    // and depth stands for it, and failing that the first mode, so that
    // callers always get an index they can show and switch to.
    int sameSize = -1;
    DEVMODEA m;
    for (DWORD i = 0; ReadMode(i, m); ++i) {
        if (!SameMode(m, current)) continue;
        if (m.dmDisplayFrequency == current.dmDisplayFrequency) return static_cast<int>(i);
        if (sameSize < 0) sameSize = static_cast<int>(i);
    }
    return sameSize < 0 ? 0 : sameSize;
}

int ValidDisplayMode(int Index) {
    DEVMODEA m;
    return Index >= 0 && ReadMode(static_cast<DWORD>(Index), m) ? Index : FindCurrentDisplayMode();
}

void FillResolutionMenu(ui::TMenu* Menu, ui::TNotifyEvent OnClick) {
    ui::TMenuItem* root = Menu->Items();
    DEVMODEA m;
    for (DWORD i = 0; ReadMode(i, m); ++i) {
        if (m.dmDisplayFrequency == kDefaultRate) continue;
        const std::string size = std::to_string(m.dmPelsWidth) + "x" + std::to_string(m.dmPelsHeight);
        ui::TMenuItem* sizeItem = root->Find(size);
        if (!sizeItem) {
            sizeItem = NewItem(Menu, size, 0);
            root->Insert(0, sizeItem);
        }
        const std::string bits = std::to_string(m.dmBitsPerPel) + " bits";
        ui::TMenuItem* bitsItem = sizeItem->Find(bits);
        if (!bitsItem) {
            bitsItem = NewItem(Menu, bits, 1);
            sizeItem->Add(bitsItem);
        }
        ui::TMenuItem* rate = NewItem(Menu, std::to_string(m.dmDisplayFrequency) + " Hz", 2);
        rate->SetTag(static_cast<intptr_t>(i));
        rate->OnClick = OnClick;
        bitsItem->Add(rate);
    }
}

void TestDisplayMode(const std::function<void()>& Confirm) {
    // Without the mode in use there is nothing to come back to: no test.
    DEVMODEA current;
    if (!ReadMode(ENUM_CURRENT_SETTINGS, current)) return;
    DEVMODEA selected = ModeOrCurrent(SelectedDisplayMode);
    // CDS_FULLSCREEN: a temporary change, never stored for the next boot.
    Driver->ChangeSettings(selected, CDS_FULLSCREEN);
    Confirm();
    Driver->ChangeSettings(current, CDS_FULLSCREEN);
}

}  // namespace core
