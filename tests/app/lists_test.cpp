// The do-not-hide and bring-to-top lists with the real main window: edits
// through the handlers the drag, menu and key events call, their effect on
// hiding windows of another process, and their files.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "AppFixture.h"
#include "core/ListFiles.h"
#include "core/ListRecords.h"
#include "support/ChildWindows.h"
#include "support/FixtureWindows.h"
#include "support/ListFileUtil.h"
#include "support/StartProcess.h"
#include "ui/Dialogs.h"
#include "ui/ImageList.h"

using namespace ui;

namespace {

using vsk::test::Bytes;

Bytes ReadAll(const std::string& path) { return vsk::test::FileBytes(path).value_or(Bytes()); }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteAll(const std::string& path, const Bytes& bytes) { vsk::test::WriteFileBytes(path, bytes); }

Bytes Record(const std::string& title, const std::string& path, uint8_t flag) {
    return vsk::test::RecordBytes(title, path, flag);
}

Bytes Join(std::initializer_list<Bytes> parts) { return vsk::test::JoinBytes(parts); }

// Records every message dialog and answers it, as the user would.
struct Dialogs {
    std::vector<MessageDlgCall> calls;
    int answer = mrOk;
    TMessageDlgHook previous;
    Dialogs() {
        previous = SetMessageDlgHook([this](const MessageDlgCall& c) -> std::optional<int> {
            calls.push_back(c);
            return answer;
        });
    }
    ~Dialogs() { SetMessageDlgHook(previous); }
    std::string Last() const { return calls.empty() ? std::string() : calls.back().Msg; }
};

// Records what the application's default handler would show.
struct Errors {
    std::vector<std::string> texts;
    Errors() { Application->OnException = TExceptionEvent(this, &Errors::Handle); }
    ~Errors() { Application->OnException = {}; }
    void Handle(TObject*, const std::exception& e) { texts.push_back(e.what()); }
};

TListItem* ItemOfWindow(TListView* list, HWND h) {
    for (int i = 0; i < list->Items()->Count(); ++i)
        if (static_cast<core::TWinInfo*>(list->Items()->Item(i)->Data())->Handle == h) return list->Items()->Item(i);
    return nullptr;
}

std::vector<std::string> Row(TListItem* item) {
    std::vector<std::string> r{item->Caption()};
    for (const std::string& s : *item->SubItems()) r.push_back(s);
    return r;
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    return vsk::test::PumpUntil(done, timeoutMs);
}

// The visible "Open" dialog of this process, or null.
HWND FindOpenDialog() {
    struct S {
        HWND found = nullptr;
    } s;
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            char cls[32] = {};
            GetClassNameA(h, cls, sizeof cls);
            if (pid == GetCurrentProcessId() && IsWindowVisible(h) && std::string(cls) == "#32770") {
                reinterpret_cast<S*>(lp)->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// From a second thread: types the file name into the dialog and presses
// Open; cancels a dialog that will not take it, so no test hangs.
void PickInOpenDialog(const std::string& file) {
    HWND dlg = nullptr;
    if (!vsk::test::WaitUntil([&] { return (dlg = FindOpenDialog()) != nullptr; }, 10000)) return;
    // The file name box is an edit inside the combo box with id 1148; the
    // Open button is the push button with id IDOK (the view shares the id).
    using vsk::test::ClassOf;
    HWND edit =
        vsk::test::ChildWindow(dlg, [](HWND c) { return ClassOf(c) == "Edit" && GetDlgCtrlID(GetParent(c)) == 1148; });
    HWND open = vsk::test::ChildWindow(dlg, [](HWND c) { return ClassOf(c) == "Button" && GetDlgCtrlID(c) == IDOK; });
    if (edit && open) {
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(open));
    }
    vsk::test::WaitUntil([&] { return !IsWindow(dlg) || !IsWindowVisible(dlg); });
    // Not taken (a message box over it, perhaps): close what is open.
    vsk::test::WaitUntil([&] {
        dlg = FindOpenDialog();
        if (dlg) PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
        return !dlg;
    });
}

// Closes a popup menu with Esc once it shows; gives up after a few seconds.
int gEscTicks = 0;
void CALLBACK EscTick(HWND, UINT, UINT_PTR id, DWORD) {
    const bool showing = vsk::test::MenuShowing();
    if (showing || ++gEscTicks > 50) {
        KillTimer(nullptr, id);
        if (showing) PostMessageA(PopupListWindow(), WM_KEYDOWN, VK_ESCAPE, 1);
    }
}

// Right-clicks the middle of a list and returns once its menu is closed.
void RightClick(TListView* list) {
    gEscTicks = 0;
    SetTimer(nullptr, 0, 50, EscTick);
    const TPoint p = list->ClientToScreen(Point(list->Width() / 2, list->Height() / 2));
    SendMessageA(list->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list->Handle()), MAKELPARAM(p.x, p.y));
}

}  // namespace

class ListsTest : public AppTest {
protected:
    // Drags the visible-windows list's item of h onto the do-not-hide list,
    // as the drop calls the handlers.
    static void DragWindowToExcludeList(HWND h) {
        MainForm->RefreshAvailableWindows();
        TListItem* item = ItemOfWindow(MainForm->AvailableWindowsList, h);
        ASSERT_NE(item, nullptr) << "the window is not listed";
        MainForm->AvailableWindowsList->SetSelected(item);
        bool accept = false;
        MainForm->ExcludeList->OnDragOver(MainForm->ExcludeList, MainForm->AvailableWindowsList, 5, 5, dsDragMove,
                                          accept);
        ASSERT_TRUE(accept);
        MainForm->ExcludeList->OnDragDrop(MainForm->ExcludeList, MainForm->AvailableWindowsList, 5, 5);
    }
    static void DragEntryToBringToTopList(int index) {
        MainForm->ExcludeList->SetSelected(MainForm->ExcludeList->Items()->Item(index));
        bool accept = false;
        MainForm->BringToTopList->OnDragOver(MainForm->BringToTopList, MainForm->ExcludeList, 5, 5, dsDragMove, accept);
        ASSERT_TRUE(accept);
        MainForm->BringToTopList->OnDragDrop(MainForm->BringToTopList, MainForm->ExcludeList, 5, 5);
    }
    // Frees the main window as the program's end does and makes it again.
    static void RestartMainForm() {
        TComponent::Free(MainForm);
        MainForm = nullptr;
        Application->CreateForm(MainForm);
    }
    // A new main window that loads the files, the old one freed without saving.
    static void RestartLoading() {
        SetProgramRunning(false);
        RestartMainForm();
        SetProgramRunning(true);
    }
};

TEST_F(ListsTest, DraggedWindowIsKeptByProgramOrTitleAndADuplicateIsRefused) {
    FixtureWindows w({"Keep One|||", "Keep Two|||", "Goes|||"});
    Settle(w);
    Dialogs dialogs;
    DragWindowToExcludeList(w[0]);
    ASSERT_EQ(MainForm->ExcludeList->Items()->Count(), 1);
    EXPECT_EQ(Row(MainForm->ExcludeList->Items()->Item(0)),
              (std::vector<std::string>{"testwin.exe", "Keep One", "yes"}));
    EXPECT_EQ(ReadAll(ExListFileName).size(), core::ListRecordSize) << "the new entry was not saved";

    DragWindowToExcludeList(w[0]);
    EXPECT_EQ(dialogs.Last(), "This winodw is already in the list");
    EXPECT_EQ(dialogs.calls.back().DlgType, mtWarning);
    EXPECT_EQ(MainForm->ExcludeList->Items()->Count(), 1);

    // Every window of the program stays while the entry keeps all of them.
    Toggle(w);
    for (HWND h : w.Handles()) EXPECT_TRUE(IsWindowVisible(h)) << "an all-windows entry let one go";
    Toggle(w);

    MainForm->ExcludeList->SetSelected(MainForm->ExcludeList->Items()->Item(0));
    MainForm->mnAllWindows->Click();
    EXPECT_EQ(MainForm->ExcludeList->Items()->Item(0)->SubItems()->Strings(1), "no");
    Toggle(w);
    EXPECT_TRUE(IsWindowVisible(w[0])) << "the dragged window was hidden";
    EXPECT_FALSE(IsWindowVisible(w[1])) << "a window of another title was kept";
    EXPECT_FALSE(IsWindowVisible(w[2]));
    Toggle();

    // Only the visible windows' list is a source.
    bool accept = true;
    MainForm->ExcludeList->OnDragOver(MainForm->ExcludeList, MainForm->BringToTopList, 5, 5, dsDragEnter, accept);
    EXPECT_FALSE(accept);
}

TEST_F(ListsTest, BringToTopHoldsOneEntryWhichIsActivatedAfterHiding) {
    FixtureWindows w({"Editor|||", "Target|||", "Other|||"});
    Settle(w);
    SetForegroundWindow(w[2]);
    Dialogs dialogs;
    DragWindowToExcludeList(w[0]);
    DragWindowToExcludeList(w[1]);
    ASSERT_EQ(MainForm->ExcludeList->Items()->Count(), 2);
    int target = MainForm->ExcludeList->Items()->Item(0)->SubItems()->Strings(0) == "Target" ? 0 : 1;
    DragEntryToBringToTopList(1 - target);
    DragEntryToBringToTopList(target);
    ASSERT_EQ(MainForm->BringToTopList->Items()->Count(), 1) << "a second drop must replace the first";
    EXPECT_EQ(Row(MainForm->BringToTopList->Items()->Item(0)), (std::vector<std::string>{"testwin.exe", "Target"}));
    Bytes saved = ReadAll(BttListFileName);
    ASSERT_EQ(saved.size(), core::ListRecordSize);
    EXPECT_EQ(saved.back(), 0) << "the bring-to-top record's last byte must be written as 0";

    Toggle();
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == w[1]; })) << "the entry's window was not activated";
    Toggle();

    // Dropped from anywhere else: refused, and the drop says why.
    bool accept = true;
    MainForm->BringToTopList->OnDragOver(MainForm->BringToTopList, MainForm->AvailableWindowsList, 5, 5, dsDragMove,
                                         accept);
    EXPECT_FALSE(accept);
    MainForm->BringToTopList->OnDragDrop(MainForm->BringToTopList, MainForm->AvailableWindowsList, 5, 5);
    EXPECT_EQ(dialogs.Last(), "Please drag a window from the 'Do not hide list'!");
    EXPECT_EQ(MainForm->BringToTopList->Items()->Count(), 1);

    // The Delete key clears it without a question and saves at once.
    const size_t asked = dialogs.calls.size();
    SendMessageA(MainForm->BringToTopList->Handle(), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(MainForm->BringToTopList->Items()->Count(), 0);
    EXPECT_EQ(dialogs.calls.size(), asked);
    EXPECT_TRUE(Exists(BttListFileName));
    EXPECT_EQ(ReadAll(BttListFileName).size(), 0u);
}

TEST_F(ListsTest, ProgramAddedFromDiskIsStartedOnceWhenNotRunning) {
    std::string starter = std::string(VSK_BIN_DIR) + "\\startme.exe";
    std::replace(starter.begin(), starter.end(), '/', '\\');
    const std::string mark = std::string(VSK_BIN_DIR) + "\\startme.ran";
    DeleteFileA(mark.c_str());
    // A person picks the file in the system's dialog.
    std::thread picker([&] { PickInOpenDialog(starter); });
    MainForm->mnAddApplicationFromDisk->Click();
    picker.join();
    ASSERT_EQ(MainForm->ExcludeList->Items()->Count(), 1) << "no file was taken from the dialog";
    EXPECT_EQ(Row(MainForm->ExcludeList->Items()->Item(0)), (std::vector<std::string>{"startme.exe", "", "yes"}));
    DragEntryToBringToTopList(0);
    auto starts = [&] {
        std::ifstream in(mark);
        int n = 0;
        for (std::string line; std::getline(in, line);) ++n;
        return n;
    };
    Toggle();
    EXPECT_TRUE(PumpUntil([&] { return starts() >= 1; }, 10000)) << "the program was not started";
    Toggle();
    EXPECT_EQ(starts(), 1) << "the program must start once per hide";
    DeleteFileA(mark.c_str());
}

TEST_F(ListsTest, ListsSurviveARestartByteForByte) {
    FixtureWindows w({"Kept|||", "Gone|||"});
    Settle(w);
    DragWindowToExcludeList(w[0]);
    DragEntryToBringToTopList(0);
    MainForm->ExcludeList->SetSelected(MainForm->ExcludeList->Items()->Item(0));
    MainForm->mnAllWindows->Click();  // this window only
    RestartMainForm();
    ASSERT_EQ(MainForm->ExcludeList->Items()->Count(), 1);
    EXPECT_EQ(Row(MainForm->ExcludeList->Items()->Item(0)), (std::vector<std::string>{"testwin.exe", "Kept", "no"}));
    ASSERT_EQ(MainForm->BringToTopList->Items()->Count(), 1);
    Toggle(w);
    EXPECT_TRUE(IsWindowVisible(w[0]));
    EXPECT_FALSE(IsWindowVisible(w[1]));
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == w[0]; }));
    Toggle();

    // Closing writes back exactly what the restart read.
    const Bytes ex = ReadAll(ExListFileName), btt = ReadAll(BttListFileName);
    EXPECT_TRUE(MainForm->CloseQuery());
    EXPECT_EQ(ReadAll(ExListFileName), ex);
    EXPECT_EQ(ReadAll(BttListFileName), btt);
}

TEST_F(ListsTest, OddRecordsLoadAndTheFlagFlipsOnlyItsLowBit) {
    const Bytes high(core::ListRecordSize, 0xFF);  // lengths of 255 over high bytes
    WriteAll(ExListFileName, Join({Record("Two", "C:\\two.exe", 2), high, Bytes(4, 0x41)}));
    RestartLoading();
    TListView* list = MainForm->ExcludeList;
    ASSERT_EQ(list->Items()->Count(), 2) << "whole records load, the short tail is ignored";
    TListItem* two = nullptr;
    for (int i = 0; i < 2; ++i)
        if (list->Items()->Item(i)->Caption() == "two.exe") two = list->Items()->Item(i);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->SubItems()->Strings(1), "yes") << "a stored 2 reads as set";
    list->SetSelected(two);
    struct Step {
        uint8_t flag;
        const char* shown;
    } steps[] = {{3, "yes"}, {2, "yes"}};
    for (const Step& s : steps) {
        MainForm->mnAllWindows->Click();
        EXPECT_EQ(static_cast<core::TExcludeEntry*>(two->Data())->AllWindows, s.flag);
        EXPECT_EQ(two->SubItems()->Strings(1), s.shown);
    }
    MainForm->SaveExcludeLists();
    const Bytes saved = ReadAll(ExListFileName);
    ASSERT_EQ(saved.size(), 2 * core::ListRecordSize);
    const auto entries = core::DecodeListRecords(saved.data(), saved.size());
    for (const auto& e : entries) EXPECT_LE(e.AllWindows, 1) << "the last byte is written as 1 or 0";
}

TEST_F(ListsTest, MenusEnableByTheSelectionAndAskBeforeRemoving) {
    auto captions = [](TPopupMenu* m) {
        std::vector<std::string> c;
        for (int i = 0; i < m->Items()->Count(); ++i) c.push_back(m->Items()->Items(i)->Caption());
        return c;
    };
    EXPECT_EQ(captions(MainForm->popMenuAvailableWindows),
              (std::vector<std::string>{"Add to 'Do not hide list'", "Refresh List"}));
    EXPECT_EQ(captions(MainForm->popMenuDoNotHideList),
              (std::vector<std::string>{"All windows/This window", "-", "Remove Selected Entry", "Clear List", "-",
                                        "Add application from disk"}));
    EXPECT_EQ(captions(MainForm->PopMenuBringToTopList), (std::vector<std::string>{"Clear List"}));

    WriteAll(ExListFileName, Join({Record("A", "C:\\a.exe", 1), Record("B", "C:\\b.exe", 0)}));
    RestartLoading();
    TListView* list = MainForm->ExcludeList;
    Dialogs dialogs;

    // Opening the menu enables what needs a selection only with one.
    MainForm->Show();
    ASSERT_TRUE(vsk::test::WaitShown(MainForm->Handle()));
    for (bool selected : {false, true}) {
        list->SetSelected(selected ? list->Items()->Item(0) : nullptr);
        MainForm->mnRemoveSelectedEntry->SetEnabled(!selected);
        MainForm->mnAllWindows->SetEnabled(!selected);
        RightClick(list);
        EXPECT_EQ(MainForm->mnRemoveSelectedEntry->Enabled(), selected);
        EXPECT_EQ(MainForm->mnAllWindows->Enabled(), selected);
    }
    list->SetSelected(nullptr);
    MainForm->mnRemoveSelectedEntryClick(MainForm->mnRemoveSelectedEntry);
    EXPECT_EQ(dialogs.Last(), "Please select an item first.");

    // The Delete key, released in the list, asks the same question.
    struct Case {
        int answer;
        int left;
    } cases[] = {{mrCancel, 2}, {mrYes, 1}};
    for (const Case& c : cases) {
        dialogs.answer = c.answer;
        list->SetSelected(list->Items()->Item(0));
        SendMessageA(list->Handle(), WM_KEYUP, VK_DELETE, 0xC0000001);
        EXPECT_EQ(dialogs.Last(), "The item: \"a.exe\" will be removed from the list!\nContinue?");
        EXPECT_EQ(list->Items()->Count(), c.left);
        EXPECT_EQ(ReadAll(ExListFileName).size(), c.left == 1 ? core::ListRecordSize : 2 * core::ListRecordSize);
    }

    // Clearing asks first and leaves the file for the next save.
    for (int answer : {static_cast<int>(mrCancel), static_cast<int>(mrYes)}) {
        dialogs.answer = answer;
        MainForm->mnClearDoNotHideList->Click();
        EXPECT_EQ(dialogs.Last(), "All the items in the \"Do not hide\" list will be removed!\nContinue?");
    }
    EXPECT_EQ(list->Items()->Count(), 0);
    EXPECT_EQ(ReadAll(ExListFileName).size(), core::ListRecordSize);
    MainForm->SaveExcludeLists();
    EXPECT_TRUE(Exists(ExListFileName));
    EXPECT_EQ(ReadAll(ExListFileName).size(), 0u) << "an empty list saves an empty file";
}

TEST_F(ListsTest, FailedSaveNamesTheFileAndOffersToGoOnWithoutSavingIt) {
    const Bytes old = Record("Old", "C:\\old.exe", 1);
    const std::string folderless = AppDir + "\\no such folder\\ExList.Dat";
    struct Case {
        const char* what;
        bool readOnlyFile;
        UINT message;  // what the user does
    } cases[] = {
        {"read-only file, closing", true, WM_CLOSE},
        {"read-only file, Hide button", true, WM_COMMAND},
        {"missing folder, closing", false, WM_CLOSE},
    };
    MainForm->Show();
    ASSERT_TRUE(vsk::test::WaitShown(MainForm->Handle()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string saved = ExListFileName;
        if (c.readOnlyFile) {
            WriteAll(ExListFileName, old);
            ASSERT_TRUE(SetFileAttributesA(ExListFileName.c_str(), FILE_ATTRIBUTE_READONLY));
        } else {
            ExListFileName = folderless;
        }
        DeleteFileA(BttListFileName.c_str());
        auto act = [&] {
            if (c.message == WM_CLOSE) {
                SendMessageA(MainForm->Handle(), WM_CLOSE, 0, 0);
                return;
            }
            // A click on the Hide button, drawn on the button row.
            TControl* b = MainForm->btnHide;
            const LPARAM at = MAKELPARAM(b->Left() + b->Width() / 2, b->Top() + b->Height() / 2);
            SendMessageA(MainForm->ButtonsPanel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
            SendMessageA(MainForm->ButtonsPanel->Handle(), WM_LBUTTONUP, 0, at);
        };
        Dialogs dialogs;
        Errors errors;
        dialogs.answer = mrNo;
        act();
        EXPECT_TRUE(errors.texts.empty()) << "the failure ended in the error handler: " << errors.texts.front();
        ASSERT_FALSE(dialogs.calls.empty()) << "the failed save was not reported";
        const MessageDlgCall question = dialogs.calls.back();
        EXPECT_NE(question.Msg.find("\"" + ExListFileName + "\""), std::string::npos) << question.Msg;
        EXPECT_TRUE(question.Buttons.Contains(mbYes) && question.Buttons.Contains(mbNo)) << question.Msg;
        EXPECT_FALSE(Application->Terminated()) << "the close went on after a failed save";
        EXPECT_TRUE(MainForm->Visible()) << "No did not keep the window open";
        EXPECT_TRUE(Exists(BttListFileName)) << "the list that could be written was not saved";

        dialogs.answer = mrYes;
        if (c.message == WM_CLOSE) {
            EXPECT_TRUE(MainForm->CloseQuery()) << "Yes did not let the program end";
        } else {
            act();
            EXPECT_FALSE(MainForm->Visible()) << "Yes did not hide the window";
        }
        if (c.readOnlyFile && c.message == WM_CLOSE) {
            // The end itself does not try again.
            RestartMainForm();
            EXPECT_TRUE(errors.texts.empty()) << errors.texts.front();
        }
        EXPECT_EQ(dialogs.calls.size(), c.message == WM_CLOSE ? 2u : 4u) << dialogs.Last();
        if (c.readOnlyFile) {
            EXPECT_EQ(ReadAll(ExListFileName), old);
            SetFileAttributesA(ExListFileName.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        EXPECT_FALSE(Exists(ExListFileName + ".tmp")) << "the temporary file was left behind";
        ExListFileName = saved;
        MainForm->Show();
        ASSERT_TRUE(vsk::test::WaitShown(MainForm->Handle()));
    }

    // An end without the close's question (the session ends): the file that
    // cannot be written keeps no other list or setting from being saved.
    RestartMainForm();  // the last case's Yes ended that window without saving
    WriteAll(ExListFileName, old);
    ASSERT_TRUE(SetFileAttributesA(ExListFileName.c_str(), FILE_ATTRIBUTE_READONLY));
    DeleteFileA(BttListFileName.c_str());
    DeleteFileA(SettingsFileName.c_str());
    {
        Errors errors;
        RestartMainForm();
        EXPECT_EQ(errors.texts.size(), 1u) << "the failure was not reported";
    }
    EXPECT_TRUE(Exists(BttListFileName)) << "the list that could be written was not saved";
    EXPECT_TRUE(Exists(SettingsFileName)) << "the settings were not saved";
    EXPECT_EQ(ReadAll(ExListFileName), old);
    SetFileAttributesA(ExListFileName.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ListsTest, UnreadableListIsReportedOnceAndNeverSavedOver) {
    const Bytes ex = Record("Locked", "C:\\locked.exe", 1);
    const Bytes btt = Record("Fine", "C:\\fine.exe", 0);
    WriteAll(ExListFileName, ex);
    WriteAll(BttListFileName, btt);
    // Another program holds the file open and lets nobody read it.
    HANDLE lock = CreateFileA(ExListFileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    {
        Dialogs dialogs;
        RestartLoading();
        ASSERT_EQ(dialogs.calls.size(), 1u) << "the failure must be reported once";
        EXPECT_EQ(dialogs.calls[0].DlgType, mtError);
        EXPECT_NE(dialogs.Last().find("ExList.Dat"), std::string::npos) << dialogs.Last();
        EXPECT_EQ(MainForm->ExcludeList->Items()->Count(), 0);
        EXPECT_EQ(MainForm->BringToTopList->Items()->Count(), 1) << "the other list must load all the same";
        CloseHandle(lock);

        // An edit, the Hide button and the close save nothing over it.
        FixtureWindows w({"Edit|||"});
        Settle(w);
        DragWindowToExcludeList(w[0]);
        EXPECT_EQ(MainForm->ExcludeList->Items()->Count(), 1);
        MainForm->btnHide->Click();
        EXPECT_TRUE(MainForm->CloseQuery());
        EXPECT_EQ(dialogs.calls.size(), 2u) << "only the Hide button's message may follow";
    }
    RestartMainForm();  // destroyed with the gate open: saves once more
    EXPECT_EQ(ReadAll(ExListFileName), ex);
    EXPECT_EQ(ReadAll(BttListFileName), btt);
    EXPECT_EQ(MainForm->ExcludeList->Items()->Count(), 1) << "the file was readable again at this start";
}

TEST_F(ListsTest, AListBeyondTheLimitLoadsItsFirstEntriesAndIsKeptUntilItChanges) {
    Bytes file;
    for (size_t i = 0; i <= core::MaxListRecords; ++i) {
        const Bytes r = Record("W" + std::to_string(i), "C:\\p" + std::to_string(i) + ".exe", 0);
        file.insert(file.end(), r.begin(), r.end());
    }
    WriteAll(ExListFileName, file);
    Dialogs dialogs;
    RestartLoading();
    ASSERT_EQ(dialogs.calls.size(), 1u) << "the cut list must be told once";
    EXPECT_EQ(dialogs.calls[0].DlgType, mtWarning);
    EXPECT_NE(dialogs.Last().find("\"" + ExListFileName + "\" holds more than 1000 entries"), std::string::npos)
        << dialogs.Last();
    ASSERT_EQ(MainForm->ExcludeList->Items()->Count(), static_cast<int>(core::MaxListRecords));
    MainForm->SaveExcludeLists();
    EXPECT_TRUE(ReadAll(ExListFileName) == file) << "a list that did not change was written over";

    // A change saves the list as it is shown.
    MainForm->ExcludeList->Items()->Item(0)->Delete();
    MainForm->SaveExcludeLists();
    EXPECT_EQ(ReadAll(ExListFileName).size(), (core::MaxListRecords - 1) * core::ListRecordSize);
}

TEST_F(ListsTest, PathTooLongForARecordIsRefusedForBringToTop) {
    // A copy of the fixture program whose full path is longer than a record
    // holds (and shorter than the system's limit).
    std::string dir = AppDir + "\\";
    for (size_t left = 258 - dir.size() - strlen("testwin.exe"); left >= 2;) {
        const size_t n = std::min<size_t>(100, left - 1);
        dir += std::string(n, 'd') + "\\";
        left -= n + 1;
        CreateDirectoryA(dir.c_str(), nullptr);
    }
    const std::string exe = dir + "testwin.exe";
    ASSERT_GT(exe.size(), 255u);
    ASSERT_LT(exe.size(), static_cast<size_t>(MAX_PATH));
    ASSERT_TRUE(CopyFileA((std::string(VSK_BIN_DIR) + "\\testwin.exe").c_str(), exe.c_str(), FALSE));

    // Started as FixtureWindows starts it: it lives while its input is open.
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE inR = nullptr, inW = nullptr;
    ASSERT_TRUE(CreatePipe(&inR, &inW, &sa, 0));
    SetHandleInformation(inW, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    PROCESS_INFORMATION pi{};
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = inR;
    si.hStdOutput = si.hStdError = nul;
    std::string cmd = "\"" + exe + "\" --window \"Far Away|||\"";
    const bool started = vsk::test::StartProcess(cmd, si, pi, TRUE, exe.c_str());
    CloseHandle(inR);
    CloseHandle(nul);
    ASSERT_TRUE(started);
    HWND distant = nullptr;
    // Listed once shown: it is found a moment before that.
    PumpUntil(
        [&] { return (distant = FindWindowA("VskTestWindow", "Far Away")) != nullptr && IsWindowVisible(distant); });
    ASSERT_NE(distant, nullptr);

    Dialogs dialogs;
    DragWindowToExcludeList(distant);
    ASSERT_EQ(MainForm->ExcludeList->Items()->Count(), 1);
    auto* entry = static_cast<core::TExcludeEntry*>(MainForm->ExcludeList->Items()->Item(0)->Data());
    EXPECT_EQ(entry->Path(), exe.substr(0, 255)) << "the do-not-hide list keeps the cut path";
    DragEntryToBringToTopList(0);
    EXPECT_EQ(MainForm->BringToTopList->Items()->Count(), 0) << "the cut path was taken";
    EXPECT_NE(dialogs.Last().find("longer than 255 characters"), std::string::npos) << dialogs.Last();

    // After a restart the cut path is known by naming no file.
    RestartMainForm();
    DragEntryToBringToTopList(0);
    EXPECT_EQ(MainForm->BringToTopList->Items()->Count(), 0);

    CloseHandle(inW);  // it quits
    if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 0);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
}

TEST_F(ListsTest, ImageListTurnedTo32BitKeepsItsImages) {
    TImageList* list = MainForm->ProgramsImageList;
    list->Clear();
    for (LPCSTR id : {IDI_APPLICATION, IDI_WARNING, IDI_INFORMATION})
        ImageList_AddIcon(list->Handle(), LoadIconA(nullptr, id));
    ASSERT_EQ(list->Count(), 3);
    const HIMAGELIST before = list->Handle();
    ConvertImageListTo32Bit(list);
    EXPECT_NE(list->Handle(), before) << "no new handle";
    EXPECT_EQ(list->Count(), 3) << "images were lost";
    IMAGEINFO info{};
    ASSERT_TRUE(ImageList_GetImageInfo(list->Handle(), 2, &info));
    BITMAP bm{};
    ASSERT_TRUE(GetObjectA(info.hbmImage, sizeof bm, &bm));
    EXPECT_EQ(bm.bmBitsPixel, 32);
    ConvertImageListTo32Bit(nullptr);  // nothing to do
}
