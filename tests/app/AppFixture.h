#pragma once
// The main window and the password prompt made in the test process, as the
// program entry makes them, with the running gate open. The windows the
// tests hide belong to another process (FixtureWindows).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/GlobalUnit.h"
#include "app/MainForm.h"
#include "app/PasswordPrompt.h"
#include "core/ExcludeEntry.h"
#include "support/FixtureWindows.h"
#include "support/UiTestUtil.h"
#include "ui/Application.h"

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlobalUnitInitialization();
        UseFreshDataFolder();
        ui::Application->CreateForm(MainForm);
        ui::Application->CreateForm(FormMainAppPasswordPrompt);
        SetProgramRunning(true);
    }
    void TearDown() override {
        ui::TComponent::Free(FormMainAppPasswordPrompt);
        FormMainAppPasswordPrompt = nullptr;
        ui::TComponent::Free(MainForm);
        MainForm = nullptr;
        GlobalUnitFinalization();
        vsk::test::Drain();
    }

    // Waits until the helper's windows are settled and this process has
    // handled what their arrival queued here.
    static void Settle(const FixtureWindows& w) {
        ASSERT_TRUE(w.Settled()) << "the fixture windows' process never went idle";
        vsk::test::Drain();
    }

    // The program's files go to a folder of this test process, emptied
    // before each test, so that no test reads what another one saved.
    static void UseFreshDataFolder() {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        AppDir = std::string(temp) + "vsk-apptest-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(AppDir.c_str(), nullptr);
        ExListFileName = AppDir + "\\ExList.Dat";
        BttListFileName = AppDir + "\\BttList.Dat";
        SettingsFileName = AppDir + "\\vsk.dat";
        HiddenListFileName = AppDir + "\\HiddenWnd.Dat";
        for (const std::string& f : {ExListFileName, BttListFileName, ExListFileName + ".tmp", BttListFileName + ".tmp",
                                     SettingsFileName, HiddenListFileName}) {
            SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(f.c_str());
        }
    }

    static void AddEntry(ui::TListView* list, const std::string& title, const std::string& path, uint8_t all) {
        auto* e = new core::TExcludeEntry;
        e->SetTitle(title);
        e->SetPath(path);
        e->AllWindows = all;
        ui::TListItem* item = list->Items()->Add();
        item->SetData(e);
        item->SetCaption(core::ExtractFileName(path));
        item->SubItems()->Add(title);
    }

    static void Toggle() {
        MainForm->btnHideAll->Click();
        vsk::test::Drain();
    }
    // The toggle, and then the wait until the fixture's thread has caught up
    // with it: on a loaded machine a thread may answer too late and have its
    // windows hidden or shown when it runs again.
    static void Toggle(const FixtureWindows& w) {
        Toggle();
        EXPECT_TRUE(w.CaughtUp()) << "the fixture windows' thread did not catch up with the toggle";
        // A window shown late is shown by a thread of the program's own.
        if (HiddenWindowList) return;
        EXPECT_TRUE(vsk::test::PumpUntil([&] {
            for (HWND h : w.Handles())
                if (IsWindow(h) && !IsWindowVisible(h)) return false;
            return true;
        })) << "a window whose thread answered late was never shown";
    }
};
