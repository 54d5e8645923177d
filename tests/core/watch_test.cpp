// TWatch against the real shook.dll and against stand-ins that lack an
// export. Which library LoadLibrary finds is chosen with SetDllDirectory:
// nothing named shook.dll lies beside this test program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Watch.h"
#include "support/Owned.h"
#include "support/UiTestUtil.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

using namespace core;

namespace {

struct DialogRecorder {
    std::vector<std::string> texts;
    ui::TMessageDlgHook previous;
    DialogRecorder() {
        previous = ui::SetMessageDlgHook([this](const ui::MessageDlgCall& c) -> std::optional<int> {
            texts.push_back(c.Msg);
            EXPECT_EQ(c.DlgType, ui::mtError);
            return ui::mrOk;
        });
    }
    ~DialogRecorder() { ui::SetMessageDlgHook(previous); }
};

struct Sink {
    std::vector<std::string> log;
    void Created(ui::TObject*, HWND, const std::string& caption) { log.push_back("created " + caption); }
    void Activated(ui::TObject*, HWND, const std::string& caption) { log.push_back("activated " + caption); }
    void Key(ui::TObject*, WPARAM, LPARAM lp) { log.push_back("key " + std::to_string(lp)); }
    void Close(ui::TObject*, HWND, const std::string& name) { log.push_back("close [" + name + "]"); }
    void Mouse(ui::TObject*, int x, int y, ui::TMouseButton b) {
        log.push_back("mouse " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(b));
    }
};

void UseLibraryFrom(const char* dir) { SetDllDirectoryA(dir); }

HWND MakeWindow(const char* caption) {
    return CreateWindowExA(0, "STATIC", caption, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

TEST(Watch, MissingLibraryIsReportedOnceAndDisablesTheComponent) {
    UseLibraryFrom(nullptr);
    DialogRecorder rec;
    Sink sink;
    vsk::test::Owned w{ui::TComponent::Create<TWatch>(nullptr)};
    w->SetOnWindowCreated(TShellEvent(&sink, &Sink::Created));
    w->SetOnKeyNative(TKeyNativeEvent(&sink, &Sink::Key));
    ASSERT_EQ(rec.texts.size(), 1u);
    EXPECT_EQ(rec.texts[0], "Library not found.\r\nApplication is disabled.");
    EXPECT_TRUE(w->Disabled());
    EXPECT_FALSE(w->LibraryLoaded());
    EXPECT_EQ(w->ReceiverWnd(), nullptr);
    w.Free();
}

TEST(Watch, LibraryWithoutStillWatchingIsInvalidAndNotKept) {
    UseLibraryFrom(VSK_STUB_NOSTILL);
    DialogRecorder rec;
    Sink sink;
    vsk::test::Owned w{ui::TComponent::Create<TWatch>(nullptr)};
    w->SetOnKeyNative(TKeyNativeEvent(&sink, &Sink::Key));
    ASSERT_EQ(rec.texts.size(), 1u);
    EXPECT_EQ(rec.texts[0], "Library is not valid.\r\nApplication is disabled.");
    EXPECT_FALSE(w->LibraryLoaded());
    EXPECT_EQ(GetModuleHandleA("shook.dll"), nullptr) << "the invalid library stayed loaded";
    w.Free();
}

TEST(Watch, LibraryWithoutSetReceiverIsValidAndUnloadsWithTheLastHandler) {
    UseLibraryFrom(VSK_STUB_NORECV);
    DialogRecorder rec;
    Sink sink;
    vsk::test::Owned w{ui::TComponent::Create<TWatch>(nullptr)};
    w->SetOnWindowCreated(TShellEvent(&sink, &Sink::Created));
    w->SetOnKeyNative(TKeyNativeEvent(&sink, &Sink::Key));
    EXPECT_TRUE(rec.texts.empty());
    ASSERT_TRUE(w->LibraryLoaded());
    HWND firstReceiver = w->ReceiverWnd();
    EXPECT_TRUE(IsWindow(firstReceiver));

    w->SetOnWindowCreated(nullptr);
    EXPECT_TRUE(w->LibraryLoaded()) << "kind 1 is still watched";
    w->SetOnKeyNative(nullptr);
    EXPECT_FALSE(w->LibraryLoaded());
    EXPECT_FALSE(IsWindow(firstReceiver));
    EXPECT_EQ(GetModuleHandleA("shook.dll"), nullptr);

    w->SetOnKeyNative(TKeyNativeEvent(&sink, &Sink::Key));
    EXPECT_TRUE(w->LibraryLoaded());
    EXPECT_TRUE(IsWindow(w->ReceiverWnd()));
    w.Free();
    EXPECT_EQ(GetModuleHandleA("shook.dll"), nullptr);
}

TEST(Watch, DesigningComponentLoadsNothing) {
    UseLibraryFrom(nullptr);
    DialogRecorder rec;
    Sink sink;
    auto* w = ui::TComponent::Create<TWatch>(nullptr);
    w->SetDesigning(true);
    w->SetOnKeyNative(TKeyNativeEvent(&sink, &Sink::Key));
    EXPECT_TRUE(rec.texts.empty());
    EXPECT_FALSE(w->Disabled());
    ui::TComponent::Free(w);
}

TEST(Watch, ReceiverTurnsMessagesIntoEvents) {
    UseLibraryFrom(VSK_STUB_NORECV);
    DialogRecorder rec;
    Sink sink;
    vsk::test::Owned w{ui::TComponent::Create<TWatch>(nullptr)};
    w->SetOnWindowCreated(TShellEvent(&sink, &Sink::Created));
    w->SetOnWindowActivated(TShellEvent(&sink, &Sink::Activated));
    w->SetOnKeyNative(TKeyNativeEvent(&sink, &Sink::Key));
    w->SetOnWindowCloseQuery(TShellEvent(&sink, &Sink::Close));
    w->SetOnMouseClick(TMouseEvent(&sink, &Sink::Mouse));
    HWND r = w->ReceiverWnd();
    ASSERT_TRUE(r);
    HWND a = MakeWindow("Alpha"), b = MakeWindow("Alpha"), c = MakeWindow("Beta");
    auto shell = [&](HWND h, LPARAM code) { SendMessageA(r, w->MsgShell(), reinterpret_cast<WPARAM>(h), code); };

    shell(a, 1);
    shell(a, 4);
    shell(b, 4);  // same caption again: dropped
    shell(c, 4);
    w->RepeatedEvents = true;
    shell(c, 4);
    shell(ui::Application->Handle(), 1);  // the application's own window: dropped
    w->NotifyOwnEvents = true;
    shell(ui::Application->Handle(), 1);
    SendMessageA(r, w->MsgKey(), 0, 0x001E0001);
    SendMessageA(r, w->MsgSysCommand(), reinterpret_cast<WPARAM>(a), 0);
    SendMessageA(r, w->MsgMouse(), WM_LBUTTONUP, MAKELPARAM(3, 4));  // a release raises nothing
    SendMessageA(r, w->MsgMouse(), WM_RBUTTONDOWN, MAKELPARAM(3, 4));

    std::string app = "created " + ui::Application->Title();
    std::vector<std::string> want = {"created Alpha", "activated Alpha", "activated Beta", "activated Beta", app,
                                     "key 1966081",   "close []",        "mouse 3,4 1"};
    EXPECT_EQ(sink.log, want);

    // While nobody listens to activation, the last caption is not updated.
    w->RepeatedEvents = false;
    w->SetOnWindowActivated(nullptr);
    shell(a, 4);
    w->SetOnWindowActivated(TShellEvent(&sink, &Sink::Activated));
    sink.log.clear();
    shell(c, 4);
    EXPECT_TRUE(sink.log.empty()) << "Beta was the last activated caption seen";
    DestroyWindow(a);
    DestroyWindow(b);
    DestroyWindow(c);
    w.Free();
}

TEST(Watch, DecodeKeyDataReadsEveryFieldAndTheKeyName) {
    TKeyInfo k;
    TWatch::DecodeKeyData(0x001E0001u, k);
    EXPECT_EQ(k.RepeatCount, 1);
    EXPECT_EQ(k.ScanCode, 30);
    EXPECT_TRUE(k.IsDown);
    EXPECT_FALSE(k.WasDown || k.Extended || k.ContextAlt);
    EXPECT_EQ(k.KeyName, "A");
    TWatch::DecodeKeyData(0xC0380001u, k);
    EXPECT_EQ(k.ScanCode, 56);
    EXPECT_TRUE(k.WasDown);
    EXPECT_FALSE(k.IsDown);
}

TEST(Watch, RealLibraryDeliversKeysToTheReceiver) {
    UseLibraryFrom(VSK_SHOOK_DIR);
    DialogRecorder rec;
    Sink sink;
    vsk::test::Owned w{ui::TComponent::Create<TWatch>(nullptr)};
    w->SetOnKeyNative(TKeyNativeEvent(&sink, &Sink::Key));
    ASSERT_TRUE(w->LibraryLoaded());
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = VK_F9;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
    vsk::test::PumpUntil([&] { return sink.log.size() >= 2; });
    ASSERT_EQ(sink.log.size(), 2u) << "one event for the press and one for the release";
    w.Free();
    EXPECT_TRUE(rec.texts.empty());
}
