// Packing files into a new archive.
//
// The archive is built under a temporary name beside its target and renamed into place only
// once minizip has closed it, so an earlier archive survives any failure and no half-written
// one is ever left under the target's name. Every minizip result is checked.
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>
#include <utility>
#include <vector>
#include <zip.h>

#include "LxLog/Log.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/FileSystemError.h"
#include "zip/LxZip.h"
#include "zip/ZipUtilities.h"
#include "zip/internal/ChunkedEntryDeflating.h"
#include "zip/internal/WholeEntryDeflating.h"
#include "zip/internal/ZipArchiveWriting.h"
#include "zip/internal/ZipEntryTime.h"

namespace {

namespace fs = std::filesystem;

// Files below this size are read whole and deflated in one pass by libdeflate, which is then
// faster than zlib on a few threads; larger ones are read and deflated in chunks side by side.
constexpr std::uint64_t kChunkedFrom = 4 * zip_internal::kDeflateChunkSize;
using zip_internal::Archive;
using zip_internal::fail;

class SourceFile {
public:
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused right after.
    explicit SourceFile(const fs::path& path)
        : descriptor_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}
    ~SourceFile() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    bool isOpen() const { return descriptor_ >= 0; }
    int descriptor() const { return descriptor_; }

private:
    int descriptor_;
};

tm_zip zipTime(const struct timespec& modified) {
    return zip_internal::zipEntryTime(platform::Date::fromUnix(
        static_cast<double>(modified.tv_sec) + static_cast<double>(modified.tv_nsec) / 1e9));
}

double totalSize(const std::vector<ZipUtilities::ProcessedFilePath>& files) {
    double total = 0;
    for (const auto& file : files) {
        struct stat attributes {};
        if (::stat(file.filePathURL.c_str(), &attributes) == 0) {
            total += static_cast<double>(attributes.st_size);
        }
    }
    return total;
}

// Reads the whole file, `size` bytes as it was found to hold, into memory; none when it turned
// out to hold more by then (it is being written to) or could not be read.
std::optional<std::string> wholeFile(const SourceFile& source, std::size_t size) {
    std::string bytes(size + 1, '\0');
    std::size_t filled = 0;
    for (;;) {
        const ssize_t count = ::pread(source.descriptor(), bytes.data() + filled,
                                      bytes.size() - filled, static_cast<off_t>(filled));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return std::nullopt;
        }
        if (count == 0) {
            break;
        }
        filled += static_cast<std::size_t>(count);
        if (filled > size) {
            return std::nullopt;
        }
    }
    bytes.resize(filled);
    return bytes;
}

LxZip::EntrySummary addFile(zipFile archive, const ZipUtilities::ProcessedFilePath& file,
                            zip_internal::WholeEntryDeflater& deflater, int level,
                            double& position) {
    const SourceFile source(file.filePathURL);
    if (!source.isOpen()) {
        fail();
    }
    struct stat attributes {};
    if (::fstat(source.descriptor(), &attributes) != 0) {
        fail();
    }
    if (!S_ISREG(attributes.st_mode)) {
        // A device or pipe would never end or would block the packing.
        Log::warning("Refusing to pack \"" + Log::escaped(file.filePathURL.string()) +
                     "\": it is not a regular file");
        fail();
    }
    position += static_cast<double>(attributes.st_size);
    if (!file.fileName) {
        fail();
    }

    zip_fileinfo info{};
    info.tmz_date = zipTime(attributes.st_mtim);
    const auto size = static_cast<std::uint64_t>(attributes.st_size);
    if (size >= kChunkedFrom) {
        return {*file.fileName, size,
                zip_internal::addChunkedEntry(archive, file.fileName->c_str(), info, level,
                                              source.descriptor(), size)};
    }
    const std::optional<std::string> bytes = wholeFile(source, static_cast<std::size_t>(size));
    if (!bytes) {
        fail();
    }
    return {*file.fileName, bytes->size(),
            deflater.addEntry(archive, file.fileName->c_str(), info, *bytes)};
}

// minizip reports success for some archives it wrote wrong: when the system fails the position
// query before an entry, the entry's recorded offset is -1 and no reader finds it. Only reading
// the archive back, with our own reader, shows that before it replaces anything.
void checkWrittenArchive(const fs::path& archive, const fs::path& target,
                         const std::vector<LxZip::EntrySummary>& packed) {
    if (packed.empty()) {
        return;  // minizip opens no archive without entries; such an archive holds nothing to lose
    }
    try {
        if (LxZip::verifiedEntries(archive) == packed) {
            return;
        }
    } catch (const LxZipError&) {
    }
    Log::error("The archive written for \"" + Log::escaped(target.string()) +
               "\" does not read back as packed; it is not saved");
    fail();
}

}  // namespace

void LxZip::zipFiles(const std::vector<fs::path>& paths, const fs::path& zipFilePath,
                     const std::optional<std::string>& password, LxZipCompression compression,
                     const ProgressHandler& progress, ReadBack readBack) {
    if (password) {
        Log::warning("Refusing to encrypt \"" + Log::escaped(zipFilePath.string()) +
                     "\": encrypted archives cannot be written");
        fail();
    }
    const std::vector<ZipUtilities::ProcessedFilePath> files =
        ZipUtilities().collectFilePaths(paths);
    const double total = totalSize(files);

    try {
        platform::AtomicFileWriter archiveFile(zipFilePath);
        Archive archive(zipOpen(archiveFile.temporaryPath().c_str(), APPEND_STATUS_CREATE));
        if (!archive) {
            fail();
        }
        zip_internal::WholeEntryDeflater deflater(compression.deflateLevel());
        std::vector<EntrySummary> packed;
        double position = 0;
        for (const auto& file : files) {
            std::error_code ignored;
            if (fs::is_directory(file.filePathURL, ignored)) {
                continue;
            }
            packed.push_back(
                addFile(archive.get(), file, deflater, compression.deflateLevel(), position));
            if (progress) {
                progress(total > 0 ? std::min(position / total, 1.0) : 0.0);
            }
        }
        if (zipClose(archive.release(), nullptr) != ZIP_OK) {
            fail();
        }
        if (readBack == ReadBack::beforeRename) {
            checkWrittenArchive(archiveFile.temporaryPath(), zipFilePath, packed);
        }
        // The writer's descriptor names the file minizip wrote, so its flush covers those bytes.
        archiveFile.commit();
    } catch (const platform::FileSystemError&) {
        fail();
    }
    if (progress) {
        progress(1.0);
    }
}
