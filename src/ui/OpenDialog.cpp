#include "ui/OpenDialog.h"

#include <windows.h>
#include <commdlg.h>

#include <vector>

namespace ui {

bool TOpenDialog::Execute() {
    // The system wants the filter's parts NUL-separated, ending in two NULs.
    std::string filter = filter_;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.append(2, '\0');
    std::vector<char> name(MAX_PATH * 4, '\0');
    fileName_.copy(name.data(), name.size() - 1);
    const bool wildExt = defaultExt_.find_first_of("*?") != std::string::npos;
    std::string ext = defaultExt_;
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
    ofn.lpstrDefExt = ext.empty() || wildExt ? nullptr : ext.c_str();
    ofn.Flags =
        OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&ofn)) return false;
    fileName_ = name.data();
    return true;
}

}  // namespace ui
