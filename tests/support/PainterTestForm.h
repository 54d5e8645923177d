#pragma once
// Helpers shared by the tests of the flat-look painter: a grey form that
// gets its painter the way a form loader streams it in, controls placed on
// it, and pixels read back from the windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "painters/XPMenu.h"
#include "support/UiTestUtil.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

namespace vsk::test {

// A colour as GetPixel reports it.
inline COLORREF Rgb(ui::TColor c) { return static_cast<COLORREF>(ui::ColorToRGB(c)) & 0xFFFFFF; }

// A control of type T at the given place, owned by owner (the parent when
// none is named) and placed on parent when there is one.
template <class T>
T* Add(ui::TWinControl* parent, int x, int y, int w = 80, int h = 24, ui::TComponent* owner = nullptr) {
    T* c = ui::TComponent::Create<T>(owner ? owner : parent);
    c->SetBounds(x, y, w, h);
    if (parent) c->SetParent(parent);
    return c;
}

// One pixel of the control's whole window, frame included.
inline COLORREF WindowPixel(ui::TWinControl* c, int x, int y) { return WindowPixel(c->Handle(), x, y); }

// Whether the painter has taken the control over.
inline bool TakenOver(ui::TControl* c) { return painters::TControlSubClass::Find(c) != nullptr; }

// Repaints the taken-over control and waits until the painter has drawn it
// again.
inline void RepaintAndWait(ui::TControl* c) {
    painters::TControlSubClass* s = painters::TControlSubClass::Find(c);
    ASSERT_NE(s, nullptr);
    const int before = s->PaintCount();
    c->Repaint();
    ASSERT_TRUE(PumpUntil([&] { return s->PaintCount() > before; }));
    Drain();
}

// Moves the real pointer off every test form: a control under it is hot and
// changes its colours.
inline void ParkPointer() { SetCursorPos(0, 0); }

// With VSK_SHOT_READY and VSK_SHOT_DONE set (tools/test-screenshot.sh),
// says the form is up and keeps it shown until the picture is taken.
inline void HoldForPicture() {
    const char* ready = getenv("VSK_SHOT_READY");
    const char* done = getenv("VSK_SHOT_DONE");
    if (!ready || !done) return;
    HANDLE f = CreateFileA(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    PumpUntil([&] { return GetFileAttributesA(done) != INVALID_FILE_ATTRIBUTES; }, 10000);
}

constexpr ui::TColor FormColor = 0x00C0C0C0;

// A bare grey form whose painter is streamed in after its controls, as a
// form loader does. It holds an edit in a corner that the painter leaves
// alone; shown, the focus rests there, so that no control under test starts
// focused, and the pointer is kept off the form, so that none starts hot.
struct PaintedForm {
    ui::TForm* form = NewBareForm(40, 40, 420, 300);
    ui::TEdit* focusSink = nullptr;
    painters::TXPMenu* menu = nullptr;

    PaintedForm() {
        form->SetColor(FormColor);
        focusSink = Add<ui::TEdit>(form, 380, 260, 30, 24);
        focusSink->SetTag(painters::XPLeaveAloneTag);
        ParkPointer();
    }
    ~PaintedForm() {
        if (!form) return;
        form->Hide();
        ui::TComponent::Free(form);
    }
    PaintedForm(const PaintedForm&) = delete;
    PaintedForm& operator=(const PaintedForm&) = delete;

    // Streams the painter in with the given control kinds.
    void AddMenu(bool active, painters::TXPControls kinds = painters::AllXPControls) {
        form->BeginLoading();
        menu = ui::TComponent::Create<painters::TXPMenu>(form);
        menu->SetXPControls(kinds);
        menu->SetActive(active);
        form->EndLoading();
    }
    // Shows the form with the focus on the sink and waits until all is
    // painted.
    void Show() {
        form->Show();
        ASSERT_TRUE(WaitShown(form->Handle()));
        focusSink->SetFocus();
        ASSERT_TRUE(PumpUntil([this] { return focusSink->Focused(); }));
        ASSERT_TRUE(WaitShown(form->Handle()));
    }
    // An active painter streamed in, then shown.
    void Start() {
        AddMenu(true);
        Show();
    }
};

}  // namespace vsk::test
