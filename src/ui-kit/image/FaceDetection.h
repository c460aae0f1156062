#pragma once

#include <optional>

#include "ui-kit/image/ImageGeometry.h"
#include "ui-kit/image/LxImage.h"

namespace lx {

// The faces in the image's bitmap (its first representation), found by OpenCV's frontal-face
// cascades: with `accurate`, each face the Haar cascade finds is confirmed by a second Haar
// cascade over its region; without, the faster LBP cascade alone. Nothing when the image has no
// pixels, a cascade file cannot be loaded, no face is found, or the union of the faces fails the
// check against the image's size (which compares the union's pixels with the image's points, so
// large faces in double-density images are passed over).
//
// The photo is searched in a grey copy scaled (down or up) to a fixed long side, 960 pixels when
// accurate and 640 when not, and the rectangles are scaled back: a photo gives the same faces at
// any size; faces smaller than about 2.5 % of the long side (accurate) or 4 % (fast) are missed;
// and a 12-megapixel photo takes a fraction of a second.
// Safe on any thread: each thread loads its own detectors, once, on first use.
std::optional<FaceDetection> detectFaces(const LxImage& image, bool accurate);

}  // namespace lx
