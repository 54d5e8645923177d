#pragma once
// Decoration must never break the window, menu loop or message it runs in: a
// paint step that throws is dropped (the window keeps what was drawn so far)
// but counted, so a failed paint can still be seen.
#include <atomic>

namespace painters {

// Steps dropped by PaintQuietly since the program started.
inline std::atomic<unsigned> QuietPaintFailures{0};

template <class Step> void PaintQuietly(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
        ++QuietPaintFailures;
    }
}

}  // namespace painters
