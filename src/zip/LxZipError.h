#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/foundation/Error.h"

// The failures of the zip archive operations, without payload: equal and hashed by case.
//
// `description()` is the English text of the case ("Failed to unzip file."). The error's
// localized description is the platform's generic text naming the type and the case's position,
// "The operation could not be completed. (LxZipError error 1.)", which is what a caller that
// logs the error shows.
//
// Example:
//   try { LxZip::unzipFile(package, folder, true, std::nullopt); }
//   catch (const LxZipError& error) { if (error == LxZipError::fileNotFound()) { ... } }
class LxZipError : public platform::Error {
public:
    enum class Kind { fileNotFound = 0, unzipFail = 1, zipFail = 2 };

    static LxZipError fileNotFound() { return LxZipError(Kind::fileNotFound); }
    static LxZipError unzipFail() { return LxZipError(Kind::unzipFail); }
    static LxZipError zipFail() { return LxZipError(Kind::zipFail); }

    Kind kind() const noexcept { return kind_; }

    // "File not found.", "Failed to unzip file." or "Failed to zip file.".
    std::string description() const;

    friend bool operator==(const LxZipError& lhs, const LxZipError& rhs) noexcept {
        return lhs.kind_ == rhs.kind_;
    }

private:
    explicit LxZipError(Kind kind);

    Kind kind_;
};

template <>
struct std::hash<LxZipError> {
    std::size_t operator()(const LxZipError& error) const noexcept {
        return std::hash<int>{}(static_cast<int>(error.kind()));
    }
};
