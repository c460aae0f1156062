#pragma once

#include <string>

#include "platform/foundation/Error.h"

// The general error of the utility and storage code: a failure with an English message.
// Its localized description is exactly the message, the empty one included.
class LxError : public platform::Error {
public:
    static LxError failure(std::string message) { return LxError(std::move(message)); }

    const std::string& message() const noexcept { return localizedDescription(); }

private:
    explicit LxError(std::string message) : platform::Error(std::move(message)) {}
};
