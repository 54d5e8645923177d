// libFuzzer target for the list-file record reader. Any bytes must load
// without a sanitizer report; what loads must save in the canonical form,
// and that form must load and save back unchanged. The hide rules read
// every loaded entry too, as the hide pass would.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/HideRules.h"
#include "core/ListRecords.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

void RoundTrip(const std::uint8_t* data, std::size_t size, core::TListKind kind) {
    const auto entries = core::DecodeListRecords(data, size);
    Check(entries.size() == size / core::ListRecordSize);
    const auto saved = core::EncodeListRecords(entries, kind);
    Check(saved.size() == entries.size() * core::ListRecordSize);
    const auto again = core::DecodeListRecords(saved.data(), saved.size());
    Check(core::EncodeListRecords(again, kind) == saved);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Check(again[i].Title() == entries[i].Title());
        Check(again[i].Path() == entries[i].Path());
        Check(again[i].AllWindows == (kind == core::TListKind::DoNotHide && entries[i].AllWindows ? 1 : 0));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RoundTrip(data, size, core::TListKind::DoNotHide);
    RoundTrip(data, size, core::TListKind::BringToTop);

    const auto entries = core::DecodeListRecords(data, size);
    const std::string title = entries.empty() ? std::string() : entries.back().Title();
    const std::string path = entries.empty() ? std::string() : entries.back().Path();
    core::FindKeepingEntry(entries, title, path);
    if (!entries.empty()) {
        std::vector<core::TListedWindow> windows;
        for (const auto& e : entries) windows.push_back({e.Title(), e.Path()});
        core::FindBringToTopWindow(entries.front(), windows);
    }
    return 0;
}
