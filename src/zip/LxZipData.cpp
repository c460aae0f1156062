// Packing entries held in memory into a new archive.
//
// Built like zipFiles(): under a temporary name beside the target, renamed into place only once
// minizip has closed it, every minizip result checked. What the format or this minizip cannot
// hold faithfully (a 4 GiB entry, encryption, a name cut short by a NUL) is refused before
// anything is written.
#include <algorithm>
#include <limits>
#include <memory>
#include <type_traits>
#include <zip.h>
#include <zlib.h>

#include "LxLog/Log.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/FileSystemError.h"
#include "zip/LxZip.h"
#include "zip/internal/ZipArchiveWriting.h"
#include "zip/internal/ZipEntryTime.h"

namespace {

namespace fs = std::filesystem;

using zip_internal::Archive;
using zip_internal::fail;
using zip_internal::kDeflateMemoryLevel;

// The entry's bytes go to minizip in one call whose count is 32 bits wide, and the archive
// records sizes without the 64-bit extension: larger data would be cut short or wrap.
bool fitsOneEntry(const LxZipArchiveFile& file) {
    return file.data.size() < std::size_t{std::numeric_limits<std::uint32_t>::max()} + 1;
}

void refuseWhatCannotBeWritten(const std::vector<LxZipArchiveFile>& archiveFiles,
                               const fs::path& zipFilePath,
                               const std::optional<std::string>& password) {
    if (password) {
        Log::warning("Refusing to encrypt \"" + Log::escaped(zipFilePath.string()) +
                     "\": encrypted archives cannot be written");
        fail();
    }
    for (const LxZipArchiveFile& file : archiveFiles) {
        if (!fitsOneEntry(file) || file.filename.find('\0') != std::string::npos) {
            Log::warning("Refusing to pack an entry into \"" + Log::escaped(zipFilePath.string()) +
                         "\": it holds 4 GiB or more, or its name holds a NUL");
            fail();
        }
    }
}

void addEntry(zipFile archive, const LxZipArchiveFile& file, int level) {
    zip_fileinfo info{};
    if (file.modifiedTime) {
        info.tmz_date = zip_internal::zipEntryTime(*file.modifiedTime);
    }
    if (zipOpenNewFileInZip3(archive, file.filename.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                             Z_DEFLATED, level, 0, -MAX_WBITS, kDeflateMemoryLevel,
                             Z_DEFAULT_STRATEGY, nullptr, 0) != ZIP_OK) {
        fail();
    }
    if (zipWriteInFileInZip(archive, file.data.data(), static_cast<unsigned>(file.data.size())) !=
            ZIP_OK ||
        zipCloseFileInZip(archive) != ZIP_OK) {
        fail();
    }
}

}  // namespace

void LxZip::zipData(const std::vector<LxZipArchiveFile>& archiveFiles, const fs::path& zipFilePath,
                    const std::optional<std::string>& password, LxZipCompression compression,
                    const ProgressHandler& progress) {
    refuseWhatCannotBeWritten(archiveFiles, zipFilePath, password);
    double total = 0;
    for (const LxZipArchiveFile& file : archiveFiles) {
        total += static_cast<double>(file.data.size());
    }

    try {
        platform::AtomicFileWriter archiveFile(zipFilePath);
        Archive archive(zipOpen(archiveFile.temporaryPath().c_str(), APPEND_STATUS_CREATE));
        if (!archive) {
            fail();
        }
        double position = 0;
        for (const LxZipArchiveFile& file : archiveFiles) {
            if (file.data.empty()) {
                continue;
            }
            addEntry(archive.get(), file, compression.deflateLevel());
            position += static_cast<double>(file.data.size());
            if (progress) {
                progress(std::min(position / total, 1.0));
            }
        }
        if (zipClose(archive.release(), nullptr) != ZIP_OK) {
            fail();
        }
        archiveFile.commit();
    } catch (const platform::FileSystemError&) {
        fail();
    }
    if (progress) {
        progress(1.0);
    }
}
