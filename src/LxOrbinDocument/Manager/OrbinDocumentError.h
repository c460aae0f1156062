#pragma once

#include <cstddef>
#include <functional>

#include "platform/foundation/Error.h"

// The failures of the package operations, without payload: equal and hashed by case.
//
// The cases carry no text of their own; the localized description is the platform's generic
// text naming the type and the case's position, "The operation could not be completed.
// (OrbinDocumentError error 3.)". What went wrong in detail is in the line the operation logged
// before it threw.
//
// Example:
//   try { manager.load(package, workingFolder); }
//   catch (const OrbinDocumentError& error) {
//       if (error == OrbinDocumentError::InvalidJson()) { ... }
//   }
class OrbinDocumentError : public platform::Error {
public:
    enum class Kind {
        FileNotExist = 0,
        InvalidFileFormat = 1,
        InvalidFileContent = 2,
        InvalidJson = 3,
        InvalidProjectData = 4,
        OpenError = 5,
        SaveError = 6,
    };

    // Opening: the package file does not exist.
    static OrbinDocumentError FileNotExist() { return OrbinDocumentError(Kind::FileNotExist); }
    // Opening: the archive cannot be unpacked.
    static OrbinDocumentError InvalidFileFormat() {
        return OrbinDocumentError(Kind::InvalidFileFormat);
    }
    // Opening: the archive has no "project.moc" at its top level.
    static OrbinDocumentError InvalidFileContent() {
        return OrbinDocumentError(Kind::InvalidFileContent);
    }
    // Opening: "project.moc" does not read as a document.
    static OrbinDocumentError InvalidJson() { return OrbinDocumentError(Kind::InvalidJson); }
    // Opening: the document does not make a project.
    static OrbinDocumentError InvalidProjectData() {
        return OrbinDocumentError(Kind::InvalidProjectData);
    }
    // Opening: "project.moc" cannot be copied into the working folder.
    static OrbinDocumentError OpenError() { return OrbinDocumentError(Kind::OpenError); }
    // Saving or packing failed.
    static OrbinDocumentError SaveError() { return OrbinDocumentError(Kind::SaveError); }

    Kind kind() const noexcept { return kind_; }

    friend bool operator==(const OrbinDocumentError& lhs, const OrbinDocumentError& rhs) noexcept {
        return lhs.kind_ == rhs.kind_;
    }

private:
    explicit OrbinDocumentError(Kind kind);

    Kind kind_;
};

template <>
struct std::hash<OrbinDocumentError> {
    std::size_t operator()(const OrbinDocumentError& error) const noexcept {
        return std::hash<int>{}(static_cast<int>(error.kind()));
    }
};
