#pragma once
// The forms are built in code: each control is made, named and placed in
// one call. The calls run in the order the controls must have, since the
// order of creation is the tab order and the Z order.
#include <string>
#include <vector>

#include "ui/Control.h"
#include "ui/StdCtrls.h"

// A T owned by Owner, named Name (unnamed when null).
template <class T> T* MakeNamed(ui::TComponent* Owner, const char* Name) {
    auto* c = ui::TComponent::Create<T>(Owner);
    if (Name) c->SetName(Name);
    return c;
}

// The same on Parent.
template <class T> T* Make(ui::TComponent* Owner, ui::TWinControl* Parent, const char* Name) {
    T* c = MakeNamed<T>(Owner, Name);
    c->SetParent(Parent);
    return c;
}

// The same at X, Y, W x H, with Caption (an edit's text).
template <class T>
T* Make(ui::TComponent* Owner, ui::TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
        int W, int H) {
    T* c = Make<T>(Owner, Parent, Name);
    c->SetBounds(X, Y, W, H);
    c->SetCaption(Caption);
    return c;
}

// A panel without bevel and caption, aligned to Align; Size is its height
// at the top or bottom, its width at a side.
inline ui::TPanel* MakePanel(ui::TComponent* Owner, ui::TWinControl* Parent, const char* Name, ui::TAlign Align,
                             int Size = 0) {
    auto* p = Make<ui::TPanel>(Owner, Parent, Name);
    if (Align == ui::alTop || Align == ui::alBottom) p->SetHeight(Size);
    if (Align == ui::alLeft || Align == ui::alRight) p->SetWidth(Size);
    p->SetAlign(Align);
    p->SetBevelOuter(ui::bvNone);
    p->SetCaption("");
    return p;
}

// A label whose caption wraps inside its box.
inline ui::TLabel* MakeWrappedLabel(ui::TComponent* Owner, ui::TWinControl* Parent, const char* Name,
                                    const std::string& Caption, int X, int Y, int W, int H) {
    auto* l = Make<ui::TLabel>(Owner, Parent, Name);
    l->SetAutoSize(false);
    l->SetWordWrap(true);
    l->SetBounds(X, Y, W, H);
    l->SetCaption(Caption);
    return l;
}

inline void GiveHint(ui::TControl* C, const std::string& Hint) {
    C->SetHint(Hint);
    C->SetShowHint(true);
}

// Puts the Tab order of Parent's controls, and of those of every control
// inside it, in the order they show: down the screen, and from left to right
// along a row (controls that share some height). Controls stacked in one
// place keep their order.
inline void TabInScreenOrder(ui::TWinControl* Parent) {
    std::vector<ui::TWinControl*> list;
    for (int i = 0; i < Parent->ControlCount(); ++i)
        if (auto* w = dynamic_cast<ui::TWinControl*>(Parent->Controls(i))) list.push_back(w);
    auto before = [](const ui::TWinControl* a, const ui::TWinControl* b) {
        const bool oneRow = a->Top() < b->Top() + b->Height() && b->Top() < a->Top() + a->Height();
        return oneRow ? a->Left() < b->Left() : a->Top() < b->Top();
    };
    // By insertion: the rule is not a strict order over a whole panel.
    for (size_t i = 1; i < list.size(); ++i)
        for (size_t j = i; j > 0 && before(list[j], list[j - 1]); --j) std::swap(list[j], list[j - 1]);
    for (size_t i = 0; i < list.size(); ++i) list[i]->SetTabOrder(static_cast<int>(i));
    for (ui::TWinControl* w : list) TabInScreenOrder(w);
}
