// Image file bytes -> the bounded loader: any file gives an image within the pixel bound or
// none, never a crash or an allocation the bound was meant to stop.
#include <cstdint>
#include <filesystem>

#include "fuzz/FuzzSupport.h"
#include "ui-kit/image/ImageEncoding.h"

namespace {

constexpr long long kPixelBound = 50'000'000 + 1'000'000;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = fuzz::put(fuzz::scratch() / "image", fuzz::bytesOf(data, size));
    if (const auto image = lx::imageWithContentsOfFile(file)) {
        if (static_cast<long long>(image->width()) * image->height() > kPixelBound) {
            fuzz::finding("an image beyond the pixel bound was decoded");
        }
    }
    return 0;
}
