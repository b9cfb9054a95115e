#pragma once

#include "platform/AnsiString.h"

#include <stdexcept>

// Base of every failure the program reports to the user; the message is shown as it stands.
class Exception : public std::runtime_error {
public:
    explicit Exception(const AnsiString& message) : std::runtime_error(message) {}
    AnsiString Message() const { return what(); }
};

// A text that does not convert to the number asked for.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A silent failure: it ends what was going on without a message.
class EAbort : public Exception {
public:
    using Exception::Exception;
};
