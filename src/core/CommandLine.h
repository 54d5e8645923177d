#pragma once
// The program's parameters as the classic run time splits a command line:
// blanks separate them, double quotes group blanks into one and are dropped.
#include <string>
#include <vector>

namespace core {

// Every parameter after the program name.
std::vector<std::string> SplitParams(const std::string& CommandLine);

// Whether the first parameter is the quiet-start switch "/Q" (any letter case).
bool IsQuietStart(const std::vector<std::string>& Params);

}  // namespace core
