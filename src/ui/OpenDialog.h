#pragma once
// TOpenDialog: the system's "Open" file dialog, shown modally by Execute.
#include <string>

#include "ui/Component.h"

namespace ui {

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

    // "Description|pattern|Description|pattern...", as "All files|*.*".
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& Value) { filter_ = Value; }
    // Added to a typed name without one; a wildcard extension adds nothing.
    const std::string& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& Value) { defaultExt_ = Value; }
    // The file picked last (and the name the dialog starts with).
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& Value) { fileName_ = Value; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& Value) { title_ = Value; }

    // Shows the dialog over the active window; true when the user picked an
    // existing file (FileName holds it), false when cancelled.
    bool Execute();

private:
    std::string filter_;
    std::string defaultExt_;
    std::string fileName_;
    std::string title_;
};

}  // namespace ui
