// The main window's flat-look painter: on from the start, bringing the flat
// look to the password prompt and the other dialogs it reaches, and switched
// off with every control put back when the main window goes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <string>
#include <vector>

#include "AppFixture.h"
#include "app/Dialogs.h"
#include "app/MouseShortcutForm.h"
#include "painters/XPMenuManager.h"
#include "support/Owned.h"
#include "support/PainterTestForm.h"

using painters::TControlSubClass;
using vsk::test::TakenOver;
using vsk::test::WindowPixel;

class XPMenuAppTest : public AppTest {};

TEST_F(XPMenuAppTest, PromptIsFlatWhileTheMainWindowLivesAndRestoredWhenItGoes) {
    painters::TXPMenu* m = MainForm->XPMenu1;
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->Active());
    EXPECT_TRUE(m->FlatMenu());
    ASSERT_NE(painters::XPMenuManager, nullptr);
    EXPECT_EQ(painters::XPMenuManager->CurrentMenu(), m);

    TFormMainAppPasswordPrompt* p = FormMainAppPasswordPrompt;
    const ui::TWndMethod editProc = p->edPassword->WindowProc;
    ASSERT_TRUE(vsk::test::PumpUntil([&] {
        return TakenOver(p->edPassword) && TakenOver(p->btnOk) && TakenOver(p->btnExit);
    })) << "the prompt's edit and buttons are taken over";
    EXPECT_FALSE(p->edPassword->Ctl3D());
    // The flat look is for the dialogs: the main window keeps one look per
    // kind of control.
    for (TControlSubClass* s : m->SubClasses())
        EXPECT_NE(s->Control()->Owner(), MainForm) << s->Control()->Name() << " of the main window is painted flat";

    ui::TComponent::Free(MainForm);
    MainForm = nullptr;
    EXPECT_EQ(painters::XPMenuManager, nullptr) << "the manager goes with the last painter";
    for (ui::TControl* c : {static_cast<ui::TControl*>(p->edPassword), static_cast<ui::TControl*>(p->btnOk)})
        EXPECT_FALSE(TakenOver(c));
    EXPECT_TRUE(p->edPassword->WindowProc == editProc);
    EXPECT_TRUE(p->edPassword->Ctl3D());
    p->edPassword->Perform(WM_NULL);  // nothing left pointing at freed objects
}

// ---------------------------------------------------------------- the dialogs shown

namespace {

// Keeps the dialog named by VSK_SHOT_DIALOG ("prompt" when unset) up while
// tools/test-screenshot.sh takes its picture.
void HoldForScreenshot(const std::string& dialog) {
    const char* wanted = getenv("VSK_SHOT_DIALOG");
    if (dialog == (wanted ? wanted : "prompt")) vsk::test::HoldForPicture();
}

std::string Describe(const ui::TControl* c) {
    if (!c->Name().empty()) return c->Name();
    const ui::TRect r = c->BoundsRect();
    return "the control at (" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")";
}

// Whether the label's text, in its font, fits its bounds (wrapped to its
// width when it wraps).
bool TextFits(ui::TLabel* l, std::string& why) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, l->Font()->Handle());
    RECT need{0, 0, l->WordWrap() ? l->Width() : 0, 0};
    const std::string text = l->Caption();
    DrawTextA(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_EXPANDTABS | (l->WordWrap() ? DT_WORDBREAK : 0u));
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    why = "needs " + std::to_string(need.right) + " x " + std::to_string(need.bottom) + ", has " +
          std::to_string(l->Width()) + " x " + std::to_string(l->Height());
    return need.right <= l->Width() && need.bottom <= l->Height();
}

// The blank rows above and below the dark text inside a button, its frame
// left out.
std::pair<int, int> CaptionMargins(ui::TWinControl* b) {
    constexpr int kFrame = 3;
    int first = -1, last = -1;
    for (int y = kFrame; y < b->Height() - kFrame; ++y)
        for (int x = kFrame; x < b->Width() - kFrame; ++x) {
            const COLORREF p = WindowPixel(b, x, y);
            if (GetRValue(p) + GetGValue(p) + GetBValue(p) >= 3 * 100) continue;
            if (first < 0) first = y;
            last = y;
            break;
        }
    if (first < 0) return {0, 0};
    return {first, b->Height() - 1 - last};
}

}  // namespace

// Each dialog the painter reaches, shown over the live main window: every
// edit and button placed on it is taken over and painted, the edits lose
// their sunken edge, an idle button shows the menu's face colour, and the
// controls lie inside the client area without covering one another, each
// label's text within its label.
TEST_F(XPMenuAppTest, EachDialogThePainterReachesIsPaintedFlatAndLaidOutClean) {
    ui::Application->CreateForm(FormSetAppPassword);
    vsk::test::Owned mouse{ui::TComponent::Create<TMouseShortcutForm>(MainForm)};
    struct Dialog {
        const char* name;
        ui::TForm* form;
        ui::TButton* idleButton;
        ui::TWinControl* focus;
    };
    const Dialog dialogs[] = {
        {"mouse", mouse, mouse->btnCancel, mouse->btnOk},
        {"setpassword", FormSetAppPassword, FormSetAppPassword->btnCancel, FormSetAppPassword->edPassword},
        {"prompt", FormMainAppPasswordPrompt, FormMainAppPasswordPrompt->btnExit,
         FormMainAppPasswordPrompt->edPassword},
    };
    const COLORREF face = ui::ColorToRGB(MainForm->XPMenu1->IconColumnColor());
    for (const Dialog& d : dialogs) {
        SCOPED_TRACE(d.name);
        ui::TForm* f = d.form;
        f->SetPosition(ui::poDesigned);
        f->SetLeft(100);
        f->SetTop(100);
        f->Show();
        std::vector<ui::TWinControl*> flat;
        for (int i = 0; i < f->ControlCount(); ++i) {
            ui::TControl* c = f->Controls(i);
            if (dynamic_cast<ui::TButton*>(c) || dynamic_cast<ui::TEdit*>(c))
                flat.push_back(static_cast<ui::TWinControl*>(c));
        }
        ASSERT_FALSE(flat.empty());
        ASSERT_TRUE(vsk::test::PumpUntil([&] {
            for (ui::TWinControl* c : flat) {
                TControlSubClass* s = TControlSubClass::Find(c);
                if (!s || s->PaintCount() == 0) return false;
            }
            return true;
        })) << "not every edit and button was taken over and painted";
        for (ui::TWinControl* c : flat) {
            if (!dynamic_cast<ui::TEdit*>(c)) continue;
            EXPECT_FALSE(c->Ctl3D()) << Describe(c) << " kept its sunken edge";
        }

        // Neither hot nor focused: another control has the focus.
        vsk::test::ParkPointer();
        d.focus->SetFocus();
        ASSERT_TRUE(vsk::test::PumpUntil([&] { return d.focus->Focused(); }));
        d.idleButton->Repaint();
        EXPECT_EQ(WindowPixel(d.idleButton, 4, 4), face) << Describe(d.idleButton) << " is not painted flat";
        for (ui::TWinControl* c : flat) {
            if (!dynamic_cast<ui::TButton*>(c)) continue;
            c->Repaint();
            const auto [above, below] = CaptionMargins(c);
            EXPECT_LE(std::abs(above - below), 1)
                << Describe(c) << "'s caption is not centred: " << above << " px above, " << below << " below";
        }

        const ui::TRect client = f->ClientRect();
        for (int i = 0; i < f->ControlCount(); ++i) {
            ui::TControl* a = f->Controls(i);
            const ui::TRect ra = a->BoundsRect();
            EXPECT_TRUE(ra.left >= 0 && ra.top >= 0 && ra.right <= client.right && ra.bottom <= client.bottom)
                << Describe(a) << " is cut off by the dialog's edge";
            std::string why;
            if (auto* l = dynamic_cast<ui::TLabel*>(a)) {
                EXPECT_TRUE(TextFits(l, why)) << Describe(a) << " is cut off: " << why;
            }
            for (int j = i + 1; j < f->ControlCount(); ++j) {
                ui::TControl* b = f->Controls(j);
                RECT both;
                const ui::TRect rb = b->BoundsRect();
                EXPECT_FALSE(IntersectRect(&both, &ra, &rb)) << Describe(a) << " overlaps " << Describe(b);
            }
        }
        for (const std::string& fault : vsk::test::TabOrderFaults(f)) ADD_FAILURE() << fault;
        ASSERT_TRUE(vsk::test::WaitShown(f->Handle()));
        HoldForScreenshot(d.name);
        f->Hide();
    }
    mouse.Free();
    ui::TComponent::Free(FormSetAppPassword);
    FormSetAppPassword = nullptr;
}
