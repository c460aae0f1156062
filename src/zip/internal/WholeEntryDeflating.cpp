#include "zip/internal/WholeEntryDeflating.h"

#include <libdeflate.h>
#include <memory>
#include <zlib.h>

#include "zip/internal/ZipArchiveWriting.h"

namespace zip_internal {

namespace {

constexpr int kZlibDefaultLevel = 6;

}  // namespace

void WholeEntryDeflater::Release::operator()(libdeflate_compressor* compressor) const {
    libdeflate_free_compressor(compressor);
}

WholeEntryDeflater::WholeEntryDeflater(int level)
    : level_(level == Z_DEFAULT_COMPRESSION ? kZlibDefaultLevel : level) {}

std::uint32_t WholeEntryDeflater::addEntry(zipFile archive, const char* name,
                                           const zip_fileinfo& info, std::string_view bytes) {
    if (!compressor_) {
        compressor_.reset(libdeflate_alloc_compressor(level_));
        if (!compressor_) {
            fail();
        }
    }
    const std::size_t bound = libdeflate_deflate_compress_bound(compressor_.get(), bytes.size());
    const auto compressed = std::make_unique_for_overwrite<char[]>(bound);
    const std::size_t compressedSize = libdeflate_deflate_compress(
        compressor_.get(), bytes.data(), bytes.size(), compressed.get(), bound);
    const auto crc = static_cast<std::uint32_t>(libdeflate_crc32(0, bytes.data(), bytes.size()));
    // Raw: minizip writes the bytes as they are and records the size and CRC given at the close.
    // The level only sets the header's hint bits, as for an entry minizip deflates itself.
    if (compressedSize == 0 ||
        zipOpenNewFileInZip2_64(archive, name, &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                level_, 1, 0) != ZIP_OK) {
        fail();
    }
    if (zipWriteInFileInZip(archive, compressed.get(), static_cast<unsigned>(compressedSize)) !=
            ZIP_OK ||
        zipCloseFileInZipRaw64(archive, bytes.size(), crc) != ZIP_OK) {
        fail();
    }
    return crc;
}

}  // namespace zip_internal
