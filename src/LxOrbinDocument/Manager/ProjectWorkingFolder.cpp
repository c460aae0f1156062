#include "LxOrbinDocument/Manager/ProjectWorkingFolder.h"

#include <string>
#include <utility>

namespace {

// Every image of a working folder is stored as JPEG under this extension, whatever its data.
std::string jpegFileName(std::string_view imageId) {
    std::string name(imageId);
    name += ".jpg";
    return name;
}

}  // namespace

OrbinDocumentManager::ProjectWorkingFolder::ProjectWorkingFolder(LxFolder at)
    : root_(std::move(at)) {}

// The document and photo places are derived from the root on every read rather than cached:
// they depend on nothing else, so the answer is the same, and a const value stays safe to share.
LxFile OrbinDocumentManager::ProjectWorkingFolder::jsonFile() const {
    return jsonFile_ ? *jsonFile_ : root_.file("project.moc");
}

void OrbinDocumentManager::ProjectWorkingFolder::setJsonFile(LxFile file) {
    jsonFile_ = std::move(file);
}

LxFolder OrbinDocumentManager::ProjectWorkingFolder::photoFolder() const {
    return photoFolder_ ? *photoFolder_ : root_.child("Photo", false);
}

void OrbinDocumentManager::ProjectWorkingFolder::setPhotoFolder(LxFolder folder) {
    photoFolder_ = std::move(folder);
}

LxFile OrbinDocumentManager::ProjectWorkingFolder::photoFile(std::string_view photoId) const {
    return photoFolder().file(jpegFileName(photoId));
}

LxFile OrbinDocumentManager::ProjectWorkingFolder::tileCoverImageFile(
    std::string_view imageId) const {
    return tileCoverImageFolder().file(jpegFileName(imageId));
}

LxFile OrbinDocumentManager::ProjectWorkingFolder::pdfBannerFile(std::string_view imageId) const {
    return pdfBannerFolder().file(jpegFileName(imageId));
}

bool OrbinDocumentManager::ProjectWorkingFolder::isUsableImageId(std::string_view imageId) {
    // Ids come from untrusted documents; the file layer would keep "a/b" or "../x" inside the
    // folder, but under another name than the id says, so such ids are not file names at all.
    return !imageId.empty() && imageId != "." && imageId != ".." &&
           imageId.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}
