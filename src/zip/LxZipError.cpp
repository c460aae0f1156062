#include "zip/LxZipError.h"

namespace {

// The error has no readable text of its own, so it reads like any error without one: the
// generic sentence, then the type and the position of the case.
std::string genericDescription(LxZipError::Kind kind) {
    return std::string(platform::kGenericErrorDescription) + " (LxZipError error " +
           std::to_string(static_cast<int>(kind)) + ".)";
}

}  // namespace

LxZipError::LxZipError(Kind kind) : platform::Error(genericDescription(kind)), kind_(kind) {}

std::string LxZipError::description() const {
    switch (kind_) {
        case Kind::fileNotFound:
            return "File not found.";
        case Kind::unzipFail:
            return "Failed to unzip file.";
        case Kind::zipFail:
            return "Failed to zip file.";
    }
    return {};
}
