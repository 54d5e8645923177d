#include "core/CommandLine.h"

#include "core/HideRules.h"

namespace core {

std::vector<std::string> SplitParams(const std::string& CommandLine) {
    std::vector<std::string> all;
    size_t i = 0, n = CommandLine.size();
    for (;;) {
        while (i < n && static_cast<unsigned char>(CommandLine[i]) <= ' ') ++i;
        if (i >= n) break;
        std::string p;
        bool quoted = false;
        while (i < n && (quoted || static_cast<unsigned char>(CommandLine[i]) > ' ')) {
            if (CommandLine[i] == '"')
                quoted = !quoted;
            else
                p += CommandLine[i];
            ++i;
        }
        all.push_back(p);
    }
    if (!all.empty()) all.erase(all.begin());  // the program itself
    return all;
}

bool IsQuietStart(const std::vector<std::string>& Params) { return !Params.empty() && AsciiUpper(Params[0]) == "/Q"; }

}  // namespace core
