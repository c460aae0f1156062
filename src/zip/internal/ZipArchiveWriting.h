#pragma once

#include <memory>
#include <type_traits>
#include <zip.h>

#include "zip/LxZipError.h"

// What the archive writers share: the handle of an archive being written and how they fail.
namespace zip_internal {

// deflate's memory level for every entry written (zlib's default).
inline constexpr int kDeflateMemoryLevel = 8;

struct ArchiveCloser {
    void operator()(std::remove_pointer_t<zipFile>* archive) const { zipClose(archive, nullptr); }
};

// An archive open for writing; closed when the handle goes, also on a failure's way out. A
// writer that finishes closes it itself (release, then zipClose) to see the result.
using Archive = std::unique_ptr<std::remove_pointer_t<zipFile>, ArchiveCloser>;

// Any failure of the zip library while writing.
[[noreturn]] inline void fail() {
    throw LxZipError::zipFail();
}

}  // namespace zip_internal
