#include "LxOrbinDocument/Manager/OrbinDocumentError.h"

#include <string>

namespace {

// The cases have no readable text of their own, so they read like any error without one: the
// generic sentence, then the type and the position of the case. The engine logs this text when
// a package cannot be opened.
std::string genericDescription(OrbinDocumentError::Kind kind) {
    return std::string(platform::kGenericErrorDescription) + " (OrbinDocumentError error " +
           std::to_string(static_cast<int>(kind)) + ".)";
}

}  // namespace

OrbinDocumentError::OrbinDocumentError(Kind kind)
    : platform::Error(genericDescription(kind)), kind_(kind) {}
