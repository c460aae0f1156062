#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <zip.h>

struct libdeflate_compressor;

// Writing an entry whose bytes are all at hand: deflated in one pass by libdeflate, which is
// about twice as fast as zlib's streaming deflate at the same level, and handed to minizip raw
// with the size and CRC-32 computed here. The entry reads back like any other deflated one.
namespace zip_internal {

class WholeEntryDeflater {
public:
    // `level` is a zlib level: 0 to 9, or -1 for zlib's default (6).
    explicit WholeEntryDeflater(int level);

    // Adds the entry `name` holding `bytes` to the archive, closed. Answers the bytes' CRC-32.
    // Throws LxZipError::zipFail() when minizip fails or there is no memory for the compressor.
    std::uint32_t addEntry(zipFile archive, const char* name, const zip_fileinfo& info,
                           std::string_view bytes);

private:
    struct Release {
        void operator()(libdeflate_compressor* compressor) const;
    };
    int level_;
    std::unique_ptr<libdeflate_compressor, Release> compressor_;
};

}  // namespace zip_internal
