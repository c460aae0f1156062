#pragma once

#include <exception>
#include <string>

namespace platform {

// The root of every failure this system throws.
//
// An error carries the text a person reads (`localizedDescription()`), fixed when the error is
// made; `what()` answers the same text. Each facility derives its own error from this root.
//
// Example:
//   throw LxError::failure("Folder is a system folder");
class Error : public std::exception {
public:
    explicit Error(std::string description) : description_(std::move(description)) {}

    const std::string& localizedDescription() const noexcept { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    std::string description_;
};

// The text shown for failures that carry no description of their own.
inline constexpr const char* kGenericErrorDescription = "The operation could not be completed.";

// The readable text of any exception: an `Error`'s own description, otherwise `what()`.
std::string localizedDescription(const std::exception& error);

// The readable text of a captured exception; the generic wording for one that is not a
// `std::exception` or for a null pointer.
std::string localizedDescription(const std::exception_ptr& error);

}  // namespace platform
