#pragma once
// Failures of the PNG codec. The codec also builds without the class library,
// so it carries this small root of its own; it mirrors the class library's
// Exception (a message string) and can be re-rooted there.
#include <stdexcept>
#include <string>

namespace tbx {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message), message_(message) {}
    const std::string& Message() const { return message_; }

private:
    std::string message_;
};

// Malformed PNG data, and streams that cannot deliver or take the bytes asked for.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};

// A zlib call that returned an error code.
class EZlibError : public Exception {
public:
    using Exception::Exception;
};

// An internal consistency check that failed; the message names the unit and
// the line, "Assertion failure (tbx\TBXGraphics, line 667)".
class EAssertionFailed : public Exception {
public:
    using Exception::Exception;
};

[[noreturn]] inline void AssertionFailed(const char* unit, int line) {
    throw EAssertionFailed(std::string("Assertion failure (") + unit + ", line " + std::to_string(line) + ")");
}

}  // namespace tbx
