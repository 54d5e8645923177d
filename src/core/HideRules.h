#pragma once
// The decisions of the hide pass, apart from the windows themselves: which
// do-not-hide entry keeps a window, and which listed window is the
// bring-to-top program's.
#include <string>
#include <vector>

#include "core/ExcludeEntry.h"

namespace core {

// Upper-cases ASCII letters only, as every comparison "in any letter case"
// of the program does.
std::string AsciiUpper(std::string s);

// An entry keeps a window with exactly its (non-empty) title, or, when its
// all-windows flag is set, every window whose program path contains the
// entry's file name in any letter case (an empty file name keeps nothing).
bool EntryKeepsWindow(const TExcludeEntry& Entry, const std::string& Title, const std::string& ExePath);

// The first of Entries that keeps the window, or -1.
int FindKeepingEntry(const std::vector<TExcludeEntry>& Entries, const std::string& Title, const std::string& ExePath);

// Whether any of Entries keeps windows by their program path: only then does
// the decision need the windows' program files.
bool KeepsByProgram(const std::vector<TExcludeEntry>& Entries);

struct TListedWindow {
    std::string Title;
    std::string ExePath;
};

// The listed window the bring-to-top entry means: the first with exactly its
// title, else the first with exactly its program path; -1 when none (the
// program is then started).
int FindBringToTopWindow(const TExcludeEntry& Entry, const std::vector<TListedWindow>& Windows);

}  // namespace core
