#pragma once
// TLbSpeedButton: a windowless push button with its own caption. Grouped
// buttons (GroupIndex not 0) stay down one at a time; writing Down runs no
// click. A plain look for now.
#include <string>

#include "ui/Control.h"

namespace controls {

class TLbSpeedButton : public ui::TGraphicControl {
public:
    explicit TLbSpeedButton(ui::TComponent* AOwner);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v);
    bool Down() const { return down_; }
    void SetDown(bool v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v) { groupIndex_ = v; }
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v) { allowAllUp_ = v; }

    void Click() override;

protected:
    void Paint() override;

private:
    void ReleaseOthers();

    std::string caption_;
    bool down_ = false;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
};

} // namespace controls
