// The program folder users receive, started as they start it: the program,
// its hook library and the compiled help that the Help button opens.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Veskara.h"

using e2e::ChildWithText;
using e2e::Veskara;
using vsk::test::WaitUntil;

namespace {

struct Window {
    HWND handle;
    std::string cls, title;
    bool visible;
};

std::vector<Window> WindowsOf(DWORD pid) {
    struct S {
        DWORD pid;
        std::vector<Window> found;
    } s{pid, {}};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<S*>(lp);
            DWORD p = 0;
            GetWindowThreadProcessId(h, &p);
            if (p != s->pid) return TRUE;
            char cls[128] = {}, title[256] = {};
            GetClassNameA(h, cls, sizeof cls);
            GetWindowTextA(h, title, sizeof title);
            s->found.push_back({h, cls, title, IsWindowVisible(h) != FALSE});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::string Describe(const std::vector<Window>& ws) {
    std::string s;
    for (const Window& w : ws) s += "\n  " + w.cls + " \"" + w.title + "\"" + (w.visible ? " visible" : "");
    return s;
}

std::string ReadStart(const std::string& path, size_t n) {
    std::string data(n, '\0');
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "";
    data.resize(std::fread(data.data(), 1, n, f));
    std::fclose(f);
    return data;
}

LONGLONG SizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA a{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a)) return -1;
    return (static_cast<LONGLONG>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

const std::string kFolder = VSK_PROGRAM_DIR;

// Every file under folder, by its path below it, in order.
std::vector<std::string> FilesUnder(const std::string& folder, const std::string& below = "") {
    std::vector<std::string> files;
    WIN32_FIND_DATAA d{};
    HANDLE h = FindFirstFileA((folder + "/" + below + "*").c_str(), &d);
    if (h == INVALID_HANDLE_VALUE) return files;
    do {
        const std::string name = d.cFileName;
        if (name == "." || name == "..") continue;
        if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            for (const std::string& f : FilesUnder(folder, below + name + "/")) files.push_back(f);
        } else {
            files.push_back(below + name);
        }
    } while (FindNextFileA(h, &d));
    FindClose(h);
    std::sort(files.begin(), files.end());
    return files;
}

// A copy of the program folder, for a run of the program: the program keeps
// its settings and lists beside itself, and the folder users receive must
// hold only what ships. Removed with what the run left in it.
class ProgramCopy {
public:
    ProgramCopy() {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "vsk-program-" + std::to_string(GetCurrentProcessId());
        Remove(dir_);
        for (const std::string& f : FilesUnder(kFolder)) {
            const size_t slash = f.rfind('/');
            if (slash != std::string::npos)
                CreateDirectoryA((dir_ + "/" + f.substr(0, slash)).c_str(), nullptr);
            else
                CreateDirectoryA(dir_.c_str(), nullptr);
            if (!CopyFileA((kFolder + "/" + f).c_str(), (dir_ + "/" + f).c_str(), FALSE))
                ADD_FAILURE() << "could not copy " << f << " of the program folder: error " << GetLastError();
        }
    }
    ~ProgramCopy() { Remove(dir_); }
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;
    const std::string& Dir() const { return dir_; }

private:
    static void Remove(const std::string& dir) {
        for (const std::string& f : FilesUnder(dir)) {
            SetFileAttributesA((dir + "/" + f).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((dir + "/" + f).c_str());
        }
        RemoveDirectoryA((dir + "/help").c_str());
        RemoveDirectoryA(dir.c_str());
    }
    std::string dir_;
};

}  // namespace

TEST(ProgramFolder, HoldsTheStrippedProgramItsHookLibraryAndTheHelp) {
    const LONGLONG exe = SizeOf(kFolder + "/Veskara.exe");
    const LONGLONG debug = SizeOf(std::string(VSK_BIN_DIR) + "/Veskara.exe");
    EXPECT_GT(exe, 0);
    EXPECT_LT(exe * 4, debug) << "the program in the folder still carries its debug information";
    EXPECT_GT(SizeOf(kFolder + "/shook.dll"), 0) << "no hook library beside the program";
    // A compiled help file starts with its signature and version 3.
    const std::string head = ReadStart(kFolder + "/help/Help.chm", 8);
    EXPECT_EQ(head, std::string("ITSF\x03\0\0\0", 8)) << "help/Help.chm is not a compiled help file";
}

TEST(ProgramFolder, TheCipherKeyIsInTheProgramsStringTable) {
    HMODULE exe = LoadLibraryExA((kFolder + "/Veskara.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(exe);
    char key[32] = {};
    const int n = LoadStringA(exe, 65265, key, sizeof key);
    FreeLibrary(exe);
    ASSERT_EQ(n, 6) << "string 65265: \"" << key << "\"";
    for (int i = 0; i < n; ++i) EXPECT_TRUE(key[i] >= 'a' && key[i] <= 'z') << key;
}

TEST(ProgramFolder, EveryHelpContextOfTheProgramOpensAPage) {
    HMODULE lib = LoadLibraryA("HHCTRL.OCX");
    ASSERT_TRUE(lib);
    using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    auto htmlHelp = reinterpret_cast<HtmlHelpProc>(reinterpret_cast<void*>(GetProcAddress(lib, "HtmlHelpA")));
    ASSERT_TRUE(htmlHelp);
    const std::string chm = kFolder + "/help/Help.chm";
    constexpr UINT kHelpContext = 0x0F, kCloseAll = 0x12;
    struct Case {
        DWORD context;
        bool mapped;
    } cases[] = {{1000, true}, {1001, true}, {1010, true}, {1011, true},  {1012, true},
                 {1013, true}, {1014, true}, {1030, true}, {1002, false}, {4242, false}};
    for (const Case& c : cases) {
        HWND window = htmlHelp(GetDesktopWindow(), chm.c_str(), kHelpContext, c.context);
        EXPECT_EQ(window != nullptr, c.mapped) << "context " << c.context;
    }
    htmlHelp(nullptr, nullptr, kCloseAll, 0);
}

TEST(ProgramFolder, TheHelpButtonOpensTheHelpAtTheMainTopic) {
    const std::vector<std::string> shipped = FilesUnder(kFolder);
    {
        ProgramCopy copy;
        Veskara v("", copy.Dir());
        HWND main = v.WaitMainWindow();
        ASSERT_TRUE(main);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, 10000));
        const std::vector<Window> before = WindowsOf(v.Pid());
        e2e::PressAccelerator(main, 'p');  // Hel&p

        HWND viewer = nullptr;
        WaitUntil(
            [&] {
                for (const Window& w : WindowsOf(v.Pid()))
                    if (w.visible && w.handle != main && w.title.find("Veskara Help") != std::string::npos)
                        viewer = w.handle;
                return viewer != nullptr;
            },
            20000);
        ASSERT_TRUE(viewer) << "no help window appeared; the program's windows:" << Describe(WindowsOf(v.Pid()));
        PostMessageA(viewer, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(viewer) || !IsWindowVisible(viewer); }, 10000))
            << "the help window did not close";
        EXPECT_TRUE(IsWindow(main)) << "closing the help ended the program";
    }
    EXPECT_EQ(FilesUnder(kFolder), shipped) << "a run of the program left files in the folder users receive";
}

TEST(NoHelpLibrary, TheFirstHelpRequestWarnsOnce) {
    // Run with Wine's HTML Help library switched off for this process and
    // the program it starts (see CMakeLists.txt): nothing is said at start,
    // one warning comes at the first Help click and none after it.
    if (HMODULE lib = LoadLibraryA("HHCTRL.OCX")) {
        FreeLibrary(lib);
        GTEST_SKIP() << "the HTML Help library is present";
    }
    ProgramCopy copy;
    Veskara v("", copy.Dir());
    HWND main = v.WaitMainWindow();
    ASSERT_TRUE(main);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, 10000));
    auto warning = [&] {
        for (const Window& w : WindowsOf(v.Pid()))
            if (w.visible && w.title == "Warning!") return w.handle;
        return HWND{};
    };
    EXPECT_FALSE(warning()) << "warned at start-up";
    e2e::PressAccelerator(main, 'p');  // Hel&p
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = warning()) != nullptr; }, 10000)) << Describe(WindowsOf(v.Pid()));
    HWND ok = ChildWithText(box, "OK");
    ASSERT_TRUE(ok);
    PostMessageA(ok, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return warning() == nullptr; }, 10000));

    e2e::PressAccelerator(main, 'p');
    // Posted messages are handled in order: once the page of the next
    // accelerator shows, the click before it was handled.
    const HWND general = GetParent(ChildWithText(main, "Protect this application with password"));
    ASSERT_TRUE(general);
    e2e::PressAccelerator(main, 'e');  // &Extra Settings
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(general) != FALSE; }, 10000)) << "the page never showed";
    EXPECT_FALSE(warning()) << "warned a second time";
}
