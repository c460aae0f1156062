#pragma once

#include <optional>
#include <string_view>

#include "LxOrbinDocument/Manager/OrbinDocumentManager.h"
#include "folder/LxFile.h"
#include "folder/LxFolder.h"

// The places of a project's working folder: the document "project.moc" at the top, member
// photos in "Photo", and the tile cover and PDF banner images at the top, each "<id>.jpg".
//
// Only names places: making one and reading any member touches nothing on disk. Ids are used
// as they stand with ".jpg" appended (an empty id gives ".jpg"), yet every name is appended as
// a component of its folder, so no id ("/abs", "../x") names a place outside the root. Image ids
// read from a package should pass isUsableImageId() before they are used as file names at all.
//
// Example:
//   const OrbinDocumentManager::ProjectWorkingFolder folder(work);
//   folder.photoFolder().createIfNotExist();
//   source.copy(folder.photoFile("A1"));       // <work>/Photo/A1.jpg
class OrbinDocumentManager::ProjectWorkingFolder {
public:
    explicit ProjectWorkingFolder(LxFolder at);

    const LxFolder& root() const { return root_; }

    // root/"project.moc", unless another file was set.
    LxFile jsonFile() const;
    void setJsonFile(LxFile file);

    // root/"Photo", an ordinary folder whatever the root's flag, unless another folder was set.
    LxFolder photoFolder() const;
    void setPhotoFolder(LxFolder folder);

    // photoFolder()/"<photoId>.jpg".
    LxFile photoFile(std::string_view photoId) const;

    // The tile cover and the PDF banner live at the root.
    const LxFolder& tileCoverImageFolder() const { return root_; }
    LxFile tileCoverImageFile(std::string_view imageId) const;
    const LxFolder& pdfBannerFolder() const { return root_; }
    LxFile pdfBannerFile(std::string_view imageId) const;

    // Whether an image id read from a document may name a file: one plain name, not empty, not
    // "." or "..", without "/", "\" or NUL.
    static bool isUsableImageId(std::string_view imageId);

private:
    LxFolder root_;
    std::optional<LxFile> jsonFile_;
    std::optional<LxFolder> photoFolder_;
};
