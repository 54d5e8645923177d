// The display-mode list, its menu, the mode texts and the test switch, on
// injected modes and on the display Wine gives.
#include <gtest/gtest.h>

#include "core/DisplayModes.h"
#include "support/FakeDisplay.h"
#include "support/Owned.h"
#include "ui/Menus.h"

using vsk::test::FakeDisplay;
using vsk::test::Mode;

namespace {

// "1024x768[32 bits[60 Hz#0 75 Hz#1] 16 bits[60 Hz#2]] Current": captions,
// each frequency item with its Tag.
std::string Describe(const ui::TMenuItem* item) {
    std::string s;
    for (int i = 0; i < item->Count(); ++i) {
        const ui::TMenuItem* child = item->Items(i);
        if (!s.empty()) s += " ";
        s += child->Caption();
        if (child->Count())
            s += "[" + Describe(child) + "]";
        else if (child->Caption() != "Current")
            s += "#" + std::to_string(child->Tag());
    }
    return s;
}

struct MenuHost {
    int clicks = 0;
    void Click(ui::TObject*) { ++clicks; }
};

// A popup menu as the main window holds it: "Current" placed at design time.
ui::TPopupMenu* NewMenu() {
    auto* menu = ui::TComponent::Create<ui::TPopupMenu>(nullptr);
    auto* current = ui::TComponent::Create<ui::TMenuItem>(menu);
    current->SetCaption("Current");
    menu->Items()->Add(current);
    return menu;
}

struct MenuCase {
    const char* what;
    std::vector<Mode> modes;
    std::string menu;
};

}  // namespace

TEST(DisplayModes, MenuGroupsModesBySizeThenDepthAndSkipsTheDefaultRate) {
    const MenuCase cases[] = {
        {"sizes and depths in the order first met",
         {{1024, 768, 32, 60}, {1024, 768, 32, 75}, {1024, 768, 16, 60}},
         "1024x768[32 bits[60 Hz#0 75 Hz#1] 16 bits[60 Hz#2]] Current"},
        {"a new size goes on top; a frequency-1 mode has no item but keeps its index",
         {{800, 600, 32, 60}, {800, 600, 32, 1}, {1024, 768, 32, 60}, {800, 600, 16, 70}},
         "1024x768[32 bits[60 Hz#2]] 800x600[32 bits[60 Hz#0] 16 bits[70 Hz#3]] Current"},
        {"a mode listed twice gives two items",
         {{640, 480, 8, 60}, {640, 480, 8, 60}},
         "640x480[8 bits[60 Hz#0 60 Hz#1]] Current"},
        {"a size with only the default rate gets no item", {{640, 480, 8, 1}}, "Current"},
        {"no modes", {}, "Current"},
    };
    for (const MenuCase& c : cases) {
        FakeDisplay display(c.modes, c.modes.empty() ? Mode{640, 480, 8, 60} : c.modes.front());
        ui::TPopupMenu* menu = NewMenu();
        MenuHost host;
        core::FillResolutionMenu(menu, ui::TNotifyEvent(&host, &MenuHost::Click));
        EXPECT_EQ(Describe(menu->Items()), c.menu) << c.what;
        ui::TComponent::Free(menu);
    }
}

TEST(DisplayModes, EveryItemIsBuiltWithItsImageAndClickHandler) {
    FakeDisplay display({{1024, 768, 32, 60}, {1024, 768, 16, 60}, {800, 600, 32, 60}}, {1024, 768, 32, 60});
    ui::TPopupMenu* menu = NewMenu();
    MenuHost host;
    core::FillResolutionMenu(menu, ui::TNotifyEvent(&host, &MenuHost::Click));
    int rates = 0;
    for (int i = 0; i + 1 < menu->Items()->Count(); ++i) {
        ui::TMenuItem* size = menu->Items()->Items(i);
        EXPECT_EQ(size->ImageIndex(), 0) << size->Caption();
        EXPECT_EQ(size->Owner(), menu) << size->Caption() << " is not owned by the menu";
        for (int j = 0; j < size->Count(); ++j) {
            ui::TMenuItem* bits = size->Items(j);
            EXPECT_EQ(bits->ImageIndex(), 1) << bits->Caption();
            for (int k = 0; k < bits->Count(); ++k) {
                ui::TMenuItem* rate = bits->Items(k);
                EXPECT_EQ(rate->ImageIndex(), 2);
                rate->Click();
                ++rates;
            }
        }
    }
    EXPECT_EQ(rates, 3);
    EXPECT_EQ(host.clicks, 3) << "every frequency item runs the click handler";
    ui::TComponent::Free(menu);
}

TEST(DisplayModes, TextNamesSizeDepthAndRate) {
    FakeDisplay display({{1920, 1080, 32, 60}, {1024, 768, 16, 75}}, {1024, 768, 16, 75});
    struct Case {
        int index;
        const char* text;
    } cases[] = {
        {0, "1920x1080x32 @ 60 Hz"},
        {1, "1024x768x16 @ 75 Hz"},
        {2, "1024x768x16 @ 75 Hz"},   // names no mode: the one in use
        {-1, "1024x768x16 @ 75 Hz"},  // likewise
    };
    for (const Case& c : cases) EXPECT_EQ(core::DisplayModeText(c.index), c.text) << "index " << c.index;
}

TEST(DisplayModes, CurrentModeIsTheFirstEqualOneElseTheFirstOfItsSizeAndDepth) {
    struct Case {
        const char* what;
        std::vector<Mode> modes;
        Mode current;
        int found;
    } cases[] = {
        {"equal mode", {{800, 600, 32, 60}, {1024, 768, 32, 60}, {1024, 768, 32, 75}}, {1024, 768, 32, 75}, 2},
        {"first of two equal modes", {{800, 600, 32, 60}, {800, 600, 32, 60}}, {800, 600, 32, 60}, 0},
        {"rate not listed: same size and depth",
         {{800, 600, 16, 60}, {1024, 768, 16, 60}, {1024, 768, 32, 60}, {1024, 768, 32, 75}},
         {1024, 768, 32, 72},
         2},
        {"nothing alike: the first mode", {{800, 600, 16, 60}, {640, 480, 8, 60}}, {1024, 768, 32, 60}, 0},
        {"no modes at all", {}, {1024, 768, 32, 60}, 0},
    };
    for (const auto& c : cases) {
        FakeDisplay display(c.modes, c.current);
        EXPECT_EQ(core::FindCurrentDisplayMode(), c.found) << c.what;
    }
}

TEST(DisplayModes, AnIndexThatNamesNoModeStandsForTheCurrentOne) {
    FakeDisplay display({{800, 600, 32, 60}, {1024, 768, 32, 60}, {1280, 1024, 32, 60}}, {1024, 768, 32, 60});
    for (int index : {0, 1, 2}) EXPECT_EQ(core::ValidDisplayMode(index), index);
    for (int index : {3, 1000, -1, -5}) EXPECT_EQ(core::ValidDisplayMode(index), 1) << "index " << index;
}

TEST(DisplayModes, TestSwitchIsTemporaryAndAlwaysPutsTheOldModeBack) {
    const Mode old{1024, 768, 32, 60};
    struct Case {
        int selected;
        Mode tried;
    } cases[] = {
        {0, {800, 600, 16, 75}},
        {1, old},
        {7, old},  // an index from the settings file that names no mode: the mode in use
    };
    for (const Case& c : cases) {
        FakeDisplay display({{800, 600, 16, 75}, old}, old);
        core::SelectedDisplayMode = c.selected;
        size_t switchesDuringConfirmation = 99;
        core::TestDisplayMode([&] { switchesDuringConfirmation = display.switches.size(); });
        EXPECT_EQ(switchesDuringConfirmation, 1u) << "the test mode is set before the question";
        ASSERT_EQ(display.switches.size(), 2u) << "selected " << c.selected;
        EXPECT_EQ(display.switches[0].mode, c.tried) << vsk::test::ToString(display.switches[0].mode);
        EXPECT_EQ(display.switches[1].mode, old) << vsk::test::ToString(display.switches[1].mode);
        for (const auto& s : display.switches)
            EXPECT_EQ(s.flags, static_cast<DWORD>(CDS_FULLSCREEN)) << "a test switch must never reach the registry";
    }
    core::SelectedDisplayMode = 0;
}

TEST(DisplayModes, RealModesOfThisDisplay) {
    // What Wine's display (Xvfb) lists, read straight from the system.
    std::vector<DEVMODEA> modes;
    for (DWORD i = 0;; ++i) {
        DEVMODEA m{};
        m.dmSize = sizeof m;
        if (!EnumDisplaySettingsExA(nullptr, i, &m, 0xFFFF)) break;
        modes.push_back(m);
    }
    ASSERT_FALSE(modes.empty()) << "the display lists no modes";
    DEVMODEA current{};
    current.dmSize = sizeof current;
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current));

    const std::string currentText = std::to_string(current.dmPelsWidth) + "x" + std::to_string(current.dmPelsHeight) +
                                    "x" + std::to_string(current.dmBitsPerPel) + " @ " +
                                    std::to_string(current.dmDisplayFrequency) + " Hz";
    EXPECT_EQ(core::DisplayModeText(core::FindCurrentDisplayMode()), currentText);

    vsk::test::Owned menu{NewMenu()};
    MenuHost host;
    core::FillResolutionMenu(menu, ui::TNotifyEvent(&host, &MenuHost::Click));
    for (size_t i = 0; i < modes.size(); ++i) {
        if (modes[i].dmDisplayFrequency == 1) continue;
        const std::string size = std::to_string(modes[i].dmPelsWidth) + "x" + std::to_string(modes[i].dmPelsHeight);
        ui::TMenuItem* sizeItem = menu->Items()->Find(size);
        ASSERT_TRUE(sizeItem) << size;
        ui::TMenuItem* bits = sizeItem->Find(std::to_string(modes[i].dmBitsPerPel) + " bits");
        ASSERT_TRUE(bits) << size << " " << modes[i].dmBitsPerPel;
        bool found = false;
        for (int k = 0; k < bits->Count(); ++k) found = found || bits->Items(k)->Tag() == static_cast<intptr_t>(i);
        EXPECT_TRUE(found) << "mode " << i << " has no item";
    }
    menu.Free();
}
