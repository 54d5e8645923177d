#pragma once
// The main window and the password prompt made in the test process, as the
// program entry makes them, with the running gate open. The windows the
// tests hide belong to another process (FixtureWindows).
#include <gtest/gtest.h>

#include "app/GlobalUnit.h"
#include "app/MainForm.h"
#include "app/PasswordPrompt.h"
#include "core/ExcludeEntry.h"
#include "support/UiTestUtil.h"
#include "ui/Application.h"

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlobalUnitInitialization();
        ui::Application->CreateForm(MainForm);
        ui::Application->CreateForm(FormMainAppPasswordPrompt);
        ui::Application->SetTag(1);
    }
    void TearDown() override {
        ui::TComponent::Free(FormMainAppPasswordPrompt);
        FormMainAppPasswordPrompt = nullptr;
        ui::TComponent::Free(MainForm);
        MainForm = nullptr;
        GlobalUnitFinalization();
        vsk::test::Drain();
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
};
