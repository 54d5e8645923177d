// The keyboard as a person uses it, pressed with SendInput: default and
// cancel buttons of a modal form, Tab order, accelerators, typing into
// edits. These tests need the foreground and run alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Owned.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"
#include "ui/Timer.h"
#include "support/UiTestUtil.h"

using namespace ui;

namespace {

using vsk::test::Drain;
using vsk::test::PumpUntil;

// Every key this thread has seen pressed has come up again: the key
// messages of what was sent have all been handled.
bool KeysReleased() {
    for (int vk = 1; vk < 256; ++vk)
        if (GetKeyState(vk) < 0) return false;
    return true;
}

INPUT Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// vk pressed and released, with modifier held around it when not 0.
std::vector<INPUT> Stroke(WORD vk, WORD modifier = 0) {
    std::vector<INPUT> v;
    if (modifier) v.push_back(Key(modifier, false));
    v.push_back(Key(vk, false));
    v.push_back(Key(vk, true));
    if (modifier) v.push_back(Key(modifier, true));
    return v;
}

std::vector<INPUT> Type(const std::string& lowercase) {
    std::vector<INPUT> v;
    for (char c : lowercase) {
        auto s = Stroke(static_cast<WORD>(std::toupper(static_cast<unsigned char>(c))));
        v.insert(v.end(), s.begin(), s.end());
    }
    return v;
}

void Send(std::vector<INPUT> keys) {
    if (!keys.empty()) SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

TForm* NewForm(int x, int y, int w, int h) {
    auto* f = TComponent::Create<TForm>(Application);
    f->SetBorderStyle(bsSingle);
    f->SetBounds(x, y, w, h);
    return f;
}

template <class T>
T* Place(TCustomForm* f, TWinControl* parent, const char* name, int x, int y, int w, int h, const char* caption = "") {
    auto* c = TComponent::Create<T>(f);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    if (*caption) c->SetCaption(caption);
    return c;
}

std::string FocusedName() {
    TWinControl* c = TWinControl::FindControl(GetFocus());
    return c ? c->Name() : "(none)";
}

constexpr TModalResult kGaveUp = 999;

// Presses the keys once the modal form is up with the focus in place, and
// ends the modal loop with kGaveUp when nothing else ends it.
struct KeyScript {
    TCustomForm* form = nullptr;
    TWinControl* focus = nullptr;
    std::vector<INPUT> keys;
    bool sent = false;
    int ticks = 0;
    void Tick(TObject*) {
        ++ticks;
        if (!sent) {
            if (GetFocus() != focus->Handle() && ticks < 60) return;
            sent = true;
            Send(keys);
            return;
        }
        if (ticks > 120) form->SetModalResult(kGaveUp);
    }
};

struct Counter {
    int n = 0;
    void Count(TObject*) { ++n; }
};

}  // namespace

TEST(ModalForm, EnterEscAndAcceleratorsClickTheirButtons) {
    enum Focus { OnEdit, OnOk, OnCancel };
    struct Case {
        const char* what;
        Focus focus;
        std::vector<INPUT> keys;
        TModalResult want;
        const char* editText;
    };
    std::vector<INPUT> typeThenEnter = Type("a");
    for (INPUT in : Stroke(VK_RETURN)) typeThenEnter.push_back(in);
    const Case cases[] = {
        {"Enter in the edit clicks the default button", OnEdit, Stroke(VK_RETURN), mrOk, ""},
        {"Esc clicks the cancel button", OnEdit, Stroke(VK_ESCAPE), mrCancel, ""},
        {"Enter on a focused button clicks that button, not the default", OnCancel, Stroke(VK_RETURN), mrCancel, ""},
        {"Esc on the default button still clicks the cancel button", OnOk, Stroke(VK_ESCAPE), mrCancel, ""},
        {"Alt+A clicks &Apply", OnEdit, Stroke('A', VK_MENU), mrYes, ""},
        {"a plain letter in the edit is text, not an accelerator", OnEdit, typeThenEnter, mrOk, "a"},
    };
    for (const Case& c : cases) {
        TForm* f = NewForm(100, 100, 280, 110);
        auto* edit = Place<TEdit>(f, f, "edit", 8, 8, 120, 21);
        auto* ok = Place<TButton>(f, f, "ok", 8, 40, 70, 25, "OK");
        ok->SetDefault(true);
        ok->SetModalResult(mrOk);
        auto* cancel = Place<TButton>(f, f, "cancel", 84, 40, 70, 25, "Cancel");
        cancel->SetCancel(true);
        cancel->SetModalResult(mrCancel);
        auto* apply = Place<TButton>(f, f, "apply", 160, 40, 70, 25, "&Apply");
        apply->SetModalResult(mrYes);
        TWinControl* focus = c.focus == OnEdit ? static_cast<TWinControl*>(edit) : c.focus == OnOk ? ok : cancel;
        f->SetActiveControl(focus);

        KeyScript script;
        script.form = f;
        script.focus = focus;
        script.keys = c.keys;
        auto* timer = TComponent::Create<TTimer>(f);
        timer->SetInterval(50);
        timer->OnTimer = TNotifyEvent(&script, &KeyScript::Tick);

        const TModalResult got = f->ShowModal();
        EXPECT_EQ(got, c.want) << c.what << (script.sent ? "" : " (the focus never reached the control)");
        EXPECT_EQ(edit->Text(), c.editText) << c.what;
        TComponent::Free(f);
        PumpUntil(KeysReleased);  // key-up messages left over go to no form
    }
}

TEST(ModalForm, TabAndShiftTabMoveTheFocusInTabOrderSkippingDisabledControls) {
    vsk::test::Owned f{NewForm(100, 100, 300, 150)};
    auto* a = Place<TEdit>(f, f, "a", 8, 8, 80, 21);
    Place<TButton>(f, f, "b", 100, 8, 70, 25, "B");
    Place<TCheckBox>(f, f, "c", 8, 40, 80, 17, "C");
    auto* x = Place<TEdit>(f, f, "x", 100, 40, 80, 21);
    x->SetEnabled(false);
    auto* d = Place<TEdit>(f, f, "d", 8, 70, 80, 21);
    d->SetTabOrder(1);  // a, d, b, c, x
    f->Show();
    ASSERT_TRUE(PumpUntil([&] { return f->Active(); })) << "the form did not become active";
    a->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return a->Focused(); }));

    std::vector<std::string> seen;
    auto press = [&](std::vector<INPUT> keys) {
        HWND before = GetFocus();
        Send(keys);
        PumpUntil([&] { return GetFocus() != before; }, 1000);
        PumpUntil(KeysReleased);
        seen.push_back(FocusedName());
    };
    for (int i = 0; i < 4; ++i) press(Stroke(VK_TAB));
    press(Stroke(VK_TAB, VK_SHIFT));
    press(Stroke(VK_TAB, VK_SHIFT));
    EXPECT_EQ(seen, (std::vector<std::string>{"d", "b", "c", "a", "c", "b"}));
    f.Free();
    PumpUntil(KeysReleased);
}

TEST(ModalForm, AcceleratorsFocusTheLabelsControlToggleCheckBoxesAndClickButtons) {
    vsk::test::Owned f{NewForm(100, 100, 300, 150)};
    auto* first = Place<TEdit>(f, f, "first", 8, 8, 80, 21);
    auto* label = Place<TLabel>(f, f, "label", 100, 8, 50, 17, "&Name");
    auto* second = Place<TEdit>(f, f, "second", 160, 8, 80, 21);
    label->SetFocusControl(second);
    auto* tick = Place<TCheckBox>(f, f, "tick", 8, 40, 80, 17, "&Tick");
    auto* radio = Place<TRadioButton>(f, f, "radio", 100, 40, 80, 17, "&Radio");
    auto* go = Place<TButton>(f, f, "go", 8, 70, 70, 25, "&Go");
    Counter goClicks;
    go->OnClick = TNotifyEvent(&goClicks, &Counter::Count);
    f->Show();
    ASSERT_TRUE(PumpUntil([&] { return f->Active(); })) << "the form did not become active";
    first->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return first->Focused(); }));

    Send(Stroke('N', VK_MENU));
    EXPECT_TRUE(PumpUntil([&] { return second->Focused(); }))
        << "Alt+N should focus the label's control; focus on " << FocusedName();
    Send(Stroke('T', VK_MENU));
    EXPECT_TRUE(PumpUntil([&] { return tick->Checked(); })) << "Alt+T should tick the check box";
    EXPECT_TRUE(tick->Focused());
    Send(Stroke('R', VK_MENU));
    EXPECT_TRUE(PumpUntil([&] { return radio->Checked(); })) << "Alt+R should check the radio button";
    Send(Stroke('G', VK_MENU));
    EXPECT_TRUE(PumpUntil([&] { return goClicks.n == 1; })) << "Alt+G should click the button once";
    PumpUntil(KeysReleased);
    EXPECT_EQ(goClicks.n, 1);
    f.Free();
    PumpUntil(KeysReleased);
}

TEST(Edit, TypedTextRunsOnChangeOncePerCharacterAndStopsAtMaxLength) {
    vsk::test::Owned f{NewForm(100, 100, 300, 120)};
    auto* e = Place<TEdit>(f, f, "e", 8, 8, 120, 21);
    e->SetMaxLength(5);
    auto* pw = Place<TEdit>(f, f, "pw", 8, 40, 120, 21);
    pw->SetPasswordChar('*');
    Counter changes;
    e->OnChange = TNotifyEvent(&changes, &Counter::Count);
    f->Show();
    ASSERT_TRUE(PumpUntil([&] { return f->Active(); })) << "the form did not become active";
    e->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return e->Focused(); }));

    Send(Type("abc"));
    PumpUntil([&] { return changes.n >= 3; });
    PumpUntil(KeysReleased);
    EXPECT_EQ(e->Text(), "abc");
    EXPECT_EQ(changes.n, 3) << "one change per character typed";
    Send(Type("def"));
    PumpUntil([&] { return e->Text().size() >= 5; });
    PumpUntil(KeysReleased);
    EXPECT_EQ(e->Text(), "abcde") << "MaxLength stops what is typed";

    pw->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return pw->Focused(); }));
    Send(Type("pw"));
    EXPECT_TRUE(PumpUntil([&] { return pw->Text() == "pw"; })) << "the password edit holds " << pw->Text();
    EXPECT_EQ(SendMessageA(pw->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
    f.Free();
    PumpUntil(KeysReleased);
}
