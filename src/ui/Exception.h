#pragma once
// The one exception tree of the program: every failure it reports is an
// Exception carrying the text the user sees.
#include <stdexcept>
#include <string>

namespace ui {

class Exception : public std::exception {
public:
    explicit Exception(std::string msg, int helpContext = 0) : message_(std::move(msg)), helpContext_(helpContext) {}
    const std::string& Message() const { return message_; }
    void SetMessage(const std::string& m) { message_ = m; }
    int HelpContext() const { return helpContext_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
    int helpContext_;
};

#define VSK_EXCEPTION(Name, Base)                                                                                      \
    class Name : public Base {                                                                                         \
    public:                                                                                                            \
        using Base::Base;                                                                                              \
    }

VSK_EXCEPTION(EAbort, Exception);
VSK_EXCEPTION(EConvertError, Exception);
VSK_EXCEPTION(EInvalidOperation, Exception);
VSK_EXCEPTION(EInvalidPointer, Exception);
VSK_EXCEPTION(EOutOfResources, Exception);
VSK_EXCEPTION(EListError, Exception);
VSK_EXCEPTION(EComponentError, Exception);
VSK_EXCEPTION(EInvalidGraphic, Exception);
VSK_EXCEPTION(EInvalidGraphicOperation, Exception);
VSK_EXCEPTION(EMenuError, Exception);

}  // namespace ui

// ---- Streams, files, resources, settings stores ---------------------------

namespace ui {

VSK_EXCEPTION(EStreamError, Exception);
VSK_EXCEPTION(EReadError, EStreamError);
VSK_EXCEPTION(EWriteError, EStreamError);
VSK_EXCEPTION(EFOpenError, EStreamError);
VSK_EXCEPTION(EFCreateError, EStreamError);
VSK_EXCEPTION(EResNotFound, Exception);
VSK_EXCEPTION(ERegistryException, Exception);
VSK_EXCEPTION(EIniFileException, Exception);

// The run time's input/output error; ErrorCode is the failing operation's code.
class EInOutError : public Exception {
public:
    EInOutError(std::string msg, int errorCode) : Exception(std::move(msg)), ErrorCode(errorCode) {}
    int ErrorCode;
};

// A failed operating-system call; ErrorCode is its GetLastError value.
class EOSError : public Exception {
public:
    EOSError(std::string msg, unsigned long errorCode) : Exception(std::move(msg)), errorCode_(errorCode) {}
    unsigned long ErrorCode() const { return errorCode_; }

private:
    unsigned long errorCode_;
};

// The system's text for an error code, without the trailing line break and
// full stop (so it can end a sentence of ours).
std::string SysErrorMessage(unsigned long errorCode);
// Raises EOSError for GetLastError(), read before anything else can change it.
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(unsigned long errorCode);
// Raises EOSError when a Win32 BOOL result is FALSE.
void Win32Check(int result);

}  // namespace ui
