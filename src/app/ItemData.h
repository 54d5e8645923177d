#pragma once
// What the lists' items point at, read as its own type: a TWinInfo in the
// window lists, a TExcludeEntry in the do-not-hide and bring-to-top lists.
#include <vector>

#include "core/ExcludeEntry.h"
#include "ui/ListView.h"

// The T an item points at; null for no item.
template <class T> T* DataOf(ui::TListItem* Item) { return Item ? static_cast<T*>(Item->Data()) : nullptr; }

template <class T> T* DataOf(ui::TListView* List, int Index) { return DataOf<T>(List->Items()->Item(Index)); }

// Deletes what each item points at, then the items.
template <class T> void FreeItems(ui::TListView* List) {
    for (int i = 0; i < List->Items()->Count(); ++i) {
        delete DataOf<T>(List, i);
        List->Items()->Item(i)->SetData(nullptr);
    }
    List->Items()->Clear();
}

// Copies of a list's entries, top first.
std::vector<core::TExcludeEntry> EntriesOf(ui::TListView* List);
