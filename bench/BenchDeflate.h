#pragma once

#include <string>
#include <vector>
#include <zlib.h>

// The deflate half of a saving floor: the least any packer must spend on the same text.
inline std::vector<Bytef> deflated(const std::string& text) {
    std::vector<Bytef> compressed(compressBound(text.size()));
    uLongf size = compressed.size();
    compress2(compressed.data(), &size, reinterpret_cast<const Bytef*>(text.data()), text.size(),
              Z_DEFAULT_COMPRESSION);
    compressed.resize(size);
    return compressed;
}
