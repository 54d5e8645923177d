#pragma once
// A display with a given list of modes that records every switch, in place
// of the real one for as long as it lives.
#include <windows.h>

#include <string>
#include <vector>

#include "core/DisplayModes.h"

namespace vsk::test {

struct Mode {
    DWORD width, height, bits, hz;
    bool operator==(const Mode& o) const {
        return width == o.width && height == o.height && bits == o.bits && hz == o.hz;
    }
};

inline std::string ToString(const Mode& m) {
    return std::to_string(m.width) + "x" + std::to_string(m.height) + "x" + std::to_string(m.bits) + "@" +
           std::to_string(m.hz);
}

class FakeDisplay : public core::TDisplayDriver {
public:
    struct Switch {
        Mode mode;
        DWORD flags;
    };

    FakeDisplay(std::vector<Mode> modes, Mode current) : modes_(std::move(modes)), current_(current) {
        previous_ = core::SetDisplayDriver(this);
    }
    ~FakeDisplay() override { core::SetDisplayDriver(previous_); }
    FakeDisplay(const FakeDisplay&) = delete;
    FakeDisplay& operator=(const FakeDisplay&) = delete;

    bool EnumSettings(DWORD index, DEVMODEA& m) override {
        const Mode* src = index == ENUM_CURRENT_SETTINGS ? &current_ : index < modes_.size() ? &modes_[index] : nullptr;
        if (!src) return false;
        m.dmPelsWidth = src->width;
        m.dmPelsHeight = src->height;
        m.dmBitsPerPel = src->bits;
        m.dmDisplayFrequency = src->hz;
        m.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL | DM_DISPLAYFREQUENCY;
        return true;
    }
    LONG ChangeSettings(DEVMODEA& m, DWORD flags) override {
        current_ = {m.dmPelsWidth, m.dmPelsHeight, m.dmBitsPerPel, m.dmDisplayFrequency};
        switches.push_back({current_, flags});
        return DISP_CHANGE_SUCCESSFUL;
    }

    std::vector<Switch> switches;

private:
    std::vector<Mode> modes_;
    Mode current_;
    core::TDisplayDriver* previous_;
};

}  // namespace vsk::test
