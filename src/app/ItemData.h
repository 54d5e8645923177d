#pragma once
// What the lists' items point at, read as its own type: a TWinInfo in the
// window lists, a TExcludeEntry in the do-not-hide and bring-to-top lists.
#include <vector>

#include "core/ExcludeEntry.h"
#include "ui/ListView.h"

// The T an item points at; null for no item.
template <class T> T* DataOf(ui::TListItem* Item) { return Item ? static_cast<T*>(Item->Data()) : nullptr; }

template <class T> T* DataOf(ui::TListView* List, int Index) { return DataOf<T>(List->Items()->Item(Index)); }

using ui::FreeItems;

// Copies of a list's entries, top first.
std::vector<core::TExcludeEntry> EntriesOf(ui::TListView* List);
