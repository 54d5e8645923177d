#include "core/HideRules.h"

namespace core {

std::string AsciiUpper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool EntryKeepsWindow(const TExcludeEntry& Entry, const std::string& Title, const std::string& ExePath) {
    std::string title = Entry.Title();
    if (!title.empty() && title == Title) return true;
    if (Entry.AllWindows == 0) return false;
    std::string name = AsciiUpper(ExtractFileName(Entry.Path()));
    return !name.empty() && AsciiUpper(ExePath).find(name) != std::string::npos;
}

int FindKeepingEntry(const std::vector<TExcludeEntry>& Entries, const std::string& Title, const std::string& ExePath) {
    for (size_t i = 0; i < Entries.size(); ++i)
        if (EntryKeepsWindow(Entries[i], Title, ExePath)) return static_cast<int>(i);
    return -1;
}

bool KeepsByProgram(const std::vector<TExcludeEntry>& Entries) {
    for (const TExcludeEntry& e : Entries)
        if (e.AllWindows != 0 && !ExtractFileName(e.Path()).empty()) return true;
    return false;
}

int FindBringToTopWindow(const TExcludeEntry& Entry, const std::vector<TListedWindow>& Windows) {
    const std::string title = Entry.Title(), path = Entry.Path();
    for (size_t i = 0; i < Windows.size(); ++i)
        if (Windows[i].Title == title) return static_cast<int>(i);
    for (size_t i = 0; i < Windows.size(); ++i)
        if (Windows[i].ExePath == path) return static_cast<int>(i);
    return -1;
}

}  // namespace core
