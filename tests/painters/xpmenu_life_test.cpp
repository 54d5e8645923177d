// The flat-look painter's life: what may own it, and how it lets go of the
// controls it took over however it ends, even from inside a message of one
// of those controls.
//
// This program replaces the global allocator with one that can fence: while
// fencing is on, every new block gets pages of its own, and freeing a block
// takes away all access to its pages for good. Code that reads an object
// after it was freed then stops with an access violation instead of reading
// whatever the heap left there.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <initializer_list>
#include <new>

#include "painters/XPMenu.h"
#include "support/PainterTestForm.h"
#include "support/UiTestUtil.h"
#include "ui/Application.h"
#include "ui/Exception.h"
#include "ui/ExtCtrls.h"
#include "ui/Form.h"
#include "ui/Messages.h"
#include "ui/StdCtrls.h"

using namespace painters;
using namespace ui;
using namespace vsk::test;

namespace {

constexpr size_t kPage = 4096;
constexpr size_t kMaxFenced = 20000;
std::atomic<bool> gFence{false};
struct FencedBlock {
    void* p;
    size_t size;
};
FencedBlock gFenced[kMaxFenced];
size_t gFencedCount = 0;
SRWLOCK gFencedLock = SRWLOCK_INIT;

void* FencedAlloc(size_t n) {
    const size_t size = (n + kPage - 1) / kPage * kPage + (n == 0 ? kPage : 0);
    AcquireSRWLockExclusive(&gFencedLock);
    void* p =
        gFencedCount < kMaxFenced ? VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE) : nullptr;
    if (p) gFenced[gFencedCount++] = {p, size};
    ReleaseSRWLockExclusive(&gFencedLock);
    return p;
}

// Takes every access away from a fenced block; false for any other block.
bool FencedFree(void* p) {
    if (reinterpret_cast<uintptr_t>(p) % kPage != 0) return false;
    bool found = false;
    AcquireSRWLockExclusive(&gFencedLock);
    for (size_t i = 0; i < gFencedCount && !found; ++i) {
        if (gFenced[i].p != p) continue;
        DWORD old = 0;
        VirtualProtect(p, gFenced[i].size, PAGE_NOACCESS, &old);
        found = true;
    }
    ReleaseSRWLockExclusive(&gFencedLock);
    return found;
}

// Fencing on for one scope.
struct Fenced {
    Fenced() { gFence = true; }
    ~Fenced() { gFence = false; }
};

}  // namespace

void* operator new(size_t n) {
    if (gFence)
        if (void* p = FencedAlloc(n)) return p;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t n) { return ::operator new(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(n);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t n, const std::nothrow_t& t) noexcept { return ::operator new(n, t); }
void operator delete(void* p) noexcept {
    if (p && !FencedFree(p)) std::free(p);
}
void operator delete[](void* p) noexcept { ::operator delete(p); }
void operator delete(void* p, size_t) noexcept { ::operator delete(p); }
void operator delete[](void* p, size_t) noexcept { ::operator delete(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { ::operator delete(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { ::operator delete(p); }

namespace {

// A click handler that ends the painter: freed, or switched off.
struct PainterEnder {
    TXPMenu* menu = nullptr;
    bool freeIt = true;
    void Click(TObject*) {
        if (freeIt) {
            TComponent::Free(menu);
            menu = nullptr;
        } else {
            menu->SetActive(false);
        }
    }
};

}  // namespace

TEST(XPLife, OnlyAFormAFrameOrAScrollBoxHoldsThePainter) {
    TForm* form = NewBareForm(40, 40, 300, 200);
    auto* panel = Add<TPanel>(form, 0, 0, 100, 50);
    auto* box = Add<TScrollBox>(form, 0, 60, 100, 50);
    auto* frame = Add<TFrame>(form, 120, 0, 100, 50);
    EXPECT_THROW(TComponent::Create<TXPMenu>(panel), EConvertError);
    EXPECT_THROW(TComponent::Create<TXPMenu>(Application), EConvertError);
    for (TWinControl* owner : std::initializer_list<TWinControl*>{form, box, frame}) {
        auto* m = TComponent::Create<TXPMenu>(owner);
        EXPECT_EQ(m->OwnerForm(), owner);
        TComponent::Free(m);
    }
    auto* ownerless = TComponent::Create<TXPMenu>(nullptr);
    EXPECT_EQ(ownerless->OwnerForm(), nullptr);
    TComponent::Free(ownerless);
    TComponent::Free(form);
}

// Freed the library's way or deleted outright, the painter gives its own
// form's controls their procedures and their sunken edges back.
TEST(XPLife, FreedEitherWayThePainterGivesItsFormsControlsBackWhole) {
    for (bool plainDelete : {false, true}) {
        SCOPED_TRACE(plainDelete ? "delete" : "Free");
        PaintedForm pf;
        auto* edit = Add<TEdit>(pf.form, 10, 10, 120, 24);
        auto* list = Add<TListBox>(pf.form, 10, 50, 120, 60);
        const TWndMethod editProc = edit->WindowProc, listProc = list->WindowProc;
        pf.Start();
        ASSERT_TRUE(TakenOver(edit) && TakenOver(list));
        ASSERT_FALSE(edit->Ctl3D());
        ASSERT_FALSE(list->Ctl3D());
        if (plainDelete)
            delete pf.menu;
        else
            TComponent::Free(pf.menu);
        pf.menu = nullptr;
        EXPECT_FALSE(TakenOver(edit) || TakenOver(list));
        EXPECT_TRUE(edit->WindowProc == editProc);
        EXPECT_TRUE(list->WindowProc == listProc);
        EXPECT_TRUE(edit->Ctl3D());
        EXPECT_TRUE(list->Ctl3D());
        EXPECT_EQ(edit->BorderStyle(), bsSingle);
        Drain();
    }
}

// A button whose own click handler frees the painter (or switches it off)
// while the painter is passing the click on: nothing of the painter is read
// afterwards, and the button comes back as it was.
TEST(XPLife, AClickHandlerThatEndsThePainterLeavesNothingReadingIt) {
    for (bool freeIt : {true, false}) {
        SCOPED_TRACE(freeIt ? "freed" : "switched off");
        PaintedForm pf;
        auto* button = Add<TButton>(pf.form, 10, 10, 120, 30);
        auto* edit = Add<TEdit>(pf.form, 10, 50, 120, 24);
        const TWndMethod buttonProc = button->WindowProc;
        {
            Fenced fenced;
            pf.AddMenu(true);
        }
        pf.Show();
        ASSERT_TRUE(TakenOver(button));
        PainterEnder ender{pf.menu, freeIt};
        button->OnClick = TNotifyEvent(&ender, &PainterEnder::Click);
        button->Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), 0);
        if (freeIt) {
            pf.menu = nullptr;
            EXPECT_EQ(ender.menu, nullptr);
        }
        ASSERT_TRUE(PumpUntil([&] { return !TakenOver(button) && !TakenOver(edit); }));
        EXPECT_TRUE(button->WindowProc == buttonProc);
        EXPECT_TRUE(edit->Ctl3D());
        button->OnClick = nullptr;
    }
}
