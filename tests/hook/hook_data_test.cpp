// The hook library's translations, and the export tables of the real library
// and of the two incomplete stand-ins that the program's tests load.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "core/KeyData.h"
#include "hook/HookData.h"
#include "hook/ShookApi.h"

using namespace hook;

namespace {

constexpr uint32_t VkA = 'A', VkB = 'B', VkLMenu = 0xA4, VkRMenu = 0xA5, VkRControl = 0xA3, VkPacket = 0xE7;
constexpr uint32_t WmKeyDown = 0x100, WmKeyUp = 0x101, WmSysKeyDown = 0x104, WmSysKeyUp = 0x105;

TLowLevelKey Ll(uint32_t msg, uint32_t vk, uint32_t scan, uint8_t flags = 0) {
    return TLowLevelKey{msg, vk, scan, flags};
}
TLowLevelKey Press(uint32_t vk, uint32_t scan, uint8_t flags = 0) { return Ll(WmKeyDown, vk, scan, flags); }
TLowLevelKey Release(uint32_t vk, uint32_t scan, uint8_t flags = 0) {
    return Ll(WmKeyUp, vk, scan, static_cast<uint8_t>(flags | LowLevelUp));
}

struct Expect {
    int scan;
    bool extended, alt, wasDown, isDown;
};

struct Step {
    const char* what;
    TLowLevelKey key;
    Expect expect;
};

void RunSteps(const std::vector<Step>& steps) {
    TKeyTracker tracker;
    for (const auto& s : steps) {
        const uint32_t data = tracker.Translate(s.key);
        const core::TKeyInfo info = core::DecodeKeyData(data);
        EXPECT_EQ(info.RepeatCount, 1) << s.what;
        EXPECT_EQ(info.ScanCode, s.expect.scan) << s.what;
        EXPECT_EQ(info.Extended, s.expect.extended) << s.what;
        EXPECT_EQ(info.ContextAlt, s.expect.alt) << s.what;
        EXPECT_EQ(info.WasDown, s.expect.wasDown) << s.what;
        EXPECT_EQ(info.IsDown, s.expect.isDown) << s.what;
        EXPECT_EQ(data & 0x1E000000u, 0u) << s.what << ": reserved bits 25-28 must stay clear";
    }
}

TEST(HookData, KeyEventsBecomeKeystrokeDataWithPreviousState) {
    RunSteps({
        {"first press", Press(VkA, 0x1E), {0x1E, false, false, false, true}},
        {"auto-repeat", Press(VkA, 0x1E), {0x1E, false, false, true, true}},
        {"release", Release(VkA, 0x1E), {0x1E, false, false, true, false}},
        {"press after the release", Press(VkA, 0x1E), {0x1E, false, false, false, true}},
        {"release of a key never seen down", Release(VkB, 0x30), {0x30, false, false, true, false}},
        {"extended key", Press(VkRControl, 0x1D, LowLevelExtended), {0x1D, true, false, false, true}},
        {"extended key released", Release(VkRControl, 0x1D, LowLevelExtended), {0x1D, true, false, true, false}},
        {"key injected by scan code alone", Press(0, 0x2E), {0x2E, false, false, false, true}},
        {"... repeats by scan code", Press(0, 0x2E), {0x2E, false, false, true, true}},
        {"a character beyond the scan byte", Press(VkPacket, 0x263A), {0x3A, false, false, false, true}},
    });
}

TEST(HookData, AltContextComesFromTheFlagOrFromASeenAltKey) {
    // Wine never sets the Alt flag of low-level events; Windows does. Both
    // must give the same key data.
    RunSteps({
        {"left Alt pressed, no flag", Ll(WmSysKeyDown, VkLMenu, 0x38), {0x38, false, true, false, true}},
        {"key while Alt held, no flag", Ll(WmSysKeyDown, VkB, 0x30), {0x30, false, true, false, true}},
        {"its release", Ll(WmSysKeyUp, VkB, 0x30, LowLevelUp), {0x30, false, true, true, false}},
        {"Alt auto-repeat", Ll(WmSysKeyDown, VkLMenu, 0x38), {0x38, false, true, true, true}},
        {"Alt released", Ll(WmKeyUp, VkLMenu, 0x38, LowLevelUp), {0x38, false, false, true, false}},
        {"key after Alt", Press(VkB, 0x30), {0x30, false, false, false, true}},
        {"right Alt, flagged",
         Ll(WmSysKeyDown, VkRMenu, 0x38, LowLevelExtended | LowLevelAltDown),
         {0x38, true, true, false, true}},
        {"right Alt released",
         Ll(WmKeyUp, VkRMenu, 0x38, LowLevelExtended | LowLevelUp),
         {0x38, true, false, true, false}},
        {"flag alone (Alt held before the hook)",
         Ll(WmSysKeyDown, VkA, 0x1E, LowLevelAltDown),
         {0x1E, false, true, false, true}},
    });
}

TEST(HookData, PacksAndSortsEventsForTheReceiver) {
    EXPECT_EQ(PackLowLevelKey(Press(VkA, 0x1E, LowLevelInjected)), 0x101E0041u);
    EXPECT_EQ(PackLowLevelKey(Release(VkRControl, 0x1D, LowLevelExtended)), 0x811D00A3u);
    EXPECT_EQ(PackLowLevelKey(Press(VkPacket, 0x263A)), 0x003A00E7u) << "scan code cut to its low byte";
    EXPECT_EQ(PackPoint(-5, -10), 0xFFF6FFFBu) << "points left of or above the primary screen";
    EXPECT_TRUE(IsCloseRequest(WM_SYSCOMMAND, SC_CLOSE | 0x2)) << "the low bits of a command are the system's";
    EXPECT_FALSE(IsCloseRequest(WM_SYSCOMMAND, SC_MINIMIZE));
}

std::string ExeDir() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of('\\'));
}

TEST(HookLibraries, ExportExactlyTheirEntryPoints) {
    struct Case {
        const char* folder;
        bool still, recv;
    };
    const Case cases[] = {{"", true, true}, {"\\nostill", false, true}, {"\\norecv", true, false}};
    for (const auto& c : cases) {
        const std::string path = ExeDir() + c.folder + "\\" + LibraryName;
        HMODULE lib = LoadLibraryA(path.c_str());
        ASSERT_NE(lib, nullptr) << path << " does not load, error " << GetLastError();
        EXPECT_NE(GetProcAddress(lib, StartWatchingName), nullptr) << path;
        EXPECT_NE(GetProcAddress(lib, StopWatchingName), nullptr) << path;
        EXPECT_NE(GetProcAddress(lib, StopAllName), nullptr) << path;
        EXPECT_EQ(GetProcAddress(lib, StillWatchingName) != nullptr, c.still) << path;
        EXPECT_EQ(GetProcAddress(lib, SetReceiverName) != nullptr, c.recv) << path;
        FreeLibrary(lib);
    }
}

}  // namespace
