#pragma once

#include <cstddef>
#include <cstdint>
#include <zip.h>

// Writing a large entry straight from its file, deflated on several threads.
//
// The file is cut into chunks of kDeflateChunkSize bytes. Worker threads read and deflate the
// chunks side by side with zlib, each chunk primed with the 32 KiB before it as the preset
// dictionary and ended with a sync flush (the last one with the stream's end), so that the
// chunks written in order form one raw deflate stream, as pigz makes them. The cut depends on
// the file's size alone, so the same file always gives the same bytes. Only a few chunks per
// worker are held at a time, however large the file; the CRC-32 is combined from the chunks'.
// The entry is handed to minizip raw and reads back like any other deflated one.
namespace zip_internal {

inline constexpr std::size_t kDeflateChunkSize = std::size_t{1} << 20;

// Adds the entry `name` holding the `size` bytes of the file open for reading at `descriptor`
// to the archive, closed, deflated at the zlib `level` (0 to 9, or -1 for zlib's default).
// Answers the bytes' CRC-32.
// Throws LxZipError::zipFail() when the file cannot be read, holds fewer or more than `size`
// bytes by the time it is read, a worker cannot start or run, or minizip fails; the entry is
// then left unfinished, so the archive must be discarded.
std::uint32_t addChunkedEntry(zipFile archive, const char* name, const zip_fileinfo& info,
                              int level, int descriptor, std::uint64_t size);

}  // namespace zip_internal
