#pragma once

#include <string>
#include <string_view>

#include "folder/LxFile.h"

// What opening and packing a package share about its images: which ids may name files, which
// items count as image files, and turning a PNG into the JPEG a package holds.
namespace lx::internal {

// Whether the image `imageId` of the kind `logSeed` ("photo", ...) is looked for at all: an
// empty id is passed over silently, one that is not a plain file name with a warning.
bool isPackageImageId(const std::string& imageId, std::string_view logSeed);

// Whether a regular file is at the path: a folder, a device or a dangling link is no image.
bool isRegularFile(const LxFile& file);

// Decodes the image in `png` and writes it as JPEG to `jpeg`, replacing a file there; a
// transparent image is laid on white first. False, silently, when `png` is not a decodable
// image; false when the JPEG cannot be written (the image layer prints that).
bool convertPngToJpeg(const LxFile& png, const LxFile& jpeg);

}  // namespace lx::internal
