// Unpacking an archive into a folder.
//
// The archive is untrusted: whatever its entries say, nothing is written outside the
// destination, nothing is left under an entry's name unless it was read whole and matched its
// CRC and size, and a hostile archive cannot fill the disk. minizip does the format and the
// inflating; every one of its results is checked.
#include <algorithm>
#include <cstdio>
#include <libdeflate.h>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <type_traits>
#include <unzip.h>
#include <utility>
#include <vector>
#include <zlib.h>

#include "LxLog/Log.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/CallSite.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/FilePath.h"
#include "platform/foundation/FileSystemError.h"
#include "platform/foundation/UnicodeText.h"
#include "zip/LxZip.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kReadBufferSize = 4096;
// How much a kept copy is read into per read.
constexpr std::size_t kCopyStep = std::size_t{1} << 20;
// What a kept copy reserves before it has seen whether its entry holds what it declares, and
// how much more it reserves each time it is full. Every step copies what arrived so far, so
// the steps are few: a document of a 100,000-task plan takes one, of a million four.
constexpr std::size_t kFirstCopyReservation = std::size_t{32} << 20;
constexpr std::uint64_t kCopyGrowth = 4;
// The most deflate makes of a byte: 258 bytes from each pair of bits at best, some 1032 times.
constexpr std::uint64_t kDeflateMostExpansion = 1032;
constexpr uLong kStored = 0;
constexpr uLong kDeflated = 8;
constexpr uLong kEncryptedFlag = 0x1;
constexpr mode_t kFileTypeMask = 0170000;
constexpr mode_t kSymbolicLinkType = 0120000;

[[noreturn]] void fail() {
    throw LxZipError::unzipFail();
}

// A refusal of hostile or unsupported content says why in the log: the error itself carries
// no detail.
[[noreturn]] void refuse(const std::string& reason, platform::CallSite site = {}) {
    Log::warning(reason, site);
    fail();
}

struct ArchiveCloser {
    void operator()(std::remove_pointer_t<unzFile>* archive) const { unzClose(archive); }
};
using Archive = std::unique_ptr<std::remove_pointer_t<unzFile>, ArchiveCloser>;

// Closes the archive's current entry on every way out; close() gives the result a finished
// read needs (the CRC check happens there).
class OpenEntry {
public:
    explicit OpenEntry(unzFile archive) : archive_(archive) {}
    ~OpenEntry() {
        if (archive_ != nullptr) {
            unzCloseCurrentFile(archive_);
        }
    }
    OpenEntry(const OpenEntry&) = delete;
    OpenEntry& operator=(const OpenEntry&) = delete;

    int close() { return unzCloseCurrentFile(std::exchange(archive_, nullptr)); }

private:
    unzFile archive_;
};

struct Entry {
    unz_file_info64 info{};
    // The name as stored, up to its declared length.
    std::string rawName;
    // Read as UTF-8 (ill-formed bytes as U+FFFD) with "\" read as "/".
    std::string name;
    bool isFolder = false;

    mode_t storedMode() const { return static_cast<mode_t>(info.external_fa >> 16); }
    bool isSymbolicLink() const { return (storedMode() & kFileTypeMask) == kSymbolicLinkType; }
    // The permission bits to give the item, when the stored ones let its owner read it at
    // least; lower ones come from archivers that stored no mode at all.
    std::optional<mode_t> permissions() const {
        const mode_t bits = storedMode() & 0777;
        return bits >= 0400 ? std::optional<mode_t>(bits) : std::nullopt;
    }
};

Entry readCurrentEntry(unzFile archive) {
    Entry entry;
    if (unzGetCurrentFileInfo64(archive, &entry.info, nullptr, 0, nullptr, 0, nullptr, 0) !=
        UNZ_OK) {
        fail();
    }
    std::vector<char> nameBuffer(entry.info.size_filename + 1, '\0');
    if (unzGetCurrentFileInfo64(archive, &entry.info, nameBuffer.data(),
                                static_cast<uLong>(nameBuffer.size()), nullptr, 0, nullptr,
                                0) != UNZ_OK) {
        fail();
    }
    entry.rawName.assign(nameBuffer.data(), entry.info.size_filename);
    if (entry.rawName.empty()) {
        fail();
    }
    entry.isFolder = entry.rawName.back() == '/' || entry.rawName.back() == '\\';
    entry.name = platform::repairedUTF8(entry.rawName);
    std::replace(entry.name.begin(), entry.name.end(), '\\', '/');
    return entry;
}

// Moves to the next entry; false after the last. A damaged central directory is a failure,
// not an early end: the entries after it would silently be missing.
bool goToNextEntry(unzFile archive) {
    const int result = unzGoToNextFile(archive);
    if (result == UNZ_END_OF_LIST_OF_FILE) {
        return false;
    }
    if (result != UNZ_OK) {
        fail();
    }
    return true;
}

// The nearest folder at or above `path` that exists, to ask its disk for free space.
fs::path nearestExistingFolder(fs::path path) {
    std::error_code ignored;
    path = fs::absolute(path, ignored);
    while (!fs::is_directory(path, ignored) && path.has_relative_path()) {
        path = path.parent_path();
    }
    return path;
}

// Where one entry's bytes lie in the archive file: its local header, name, extra field and data.
struct EntrySpan {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
};

constexpr std::uint64_t kLocalHeaderSize = 30;

// The entry's span, found by opening it raw (no inflating, no decrypting): minizip then reads
// its local header and knows where the data starts. None for a method minizip cannot open,
// which unpacking refuses in its turn.
std::optional<EntrySpan> currentEntrySpan(unzFile archive, const unz_file_info64& info,
                                          std::uint64_t archiveSize) {
    if (info.compression_method != kStored && info.compression_method != kDeflated) {
        return std::nullopt;
    }
    if (unzOpenCurrentFile2(archive, nullptr, nullptr, 1) != UNZ_OK) {
        fail();
    }
    const std::uint64_t dataStart = unzGetCurrentFileZStreamPos64(archive);
    const int localExtraSize = unzGetLocalExtrafield(archive, nullptr, 0);
    unzCloseCurrentFile(archive);
    const std::uint64_t headerSize = kLocalHeaderSize + info.size_filename +
                                     static_cast<std::uint64_t>(std::max(localExtraSize, 0));
    if (localExtraSize < 0 || dataStart < headerSize || dataStart > archiveSize ||
        info.compressed_size > archiveSize - dataStart) {
        refuse("The archive's entries point outside the file; it is not unpacked");
    }
    return EntrySpan{dataStart - headerSize, dataStart + info.compressed_size};
}

// Two entries sharing bytes let a small archive unpack to any size: one deflated stream named
// by a thousand entries is a thousand full copies. No archiver writes them.
void refuseOverlaps(std::vector<EntrySpan> spans) {
    std::sort(spans.begin(), spans.end(),
              [](const EntrySpan& lhs, const EntrySpan& rhs) { return lhs.begin < rhs.begin; });
    for (std::size_t index = 1; index < spans.size(); ++index) {
        if (spans[index].begin < spans[index - 1].end) {
            refuse("The archive's entries overlap; it is not unpacked");
        }
    }
}

// Refuses, before anything is written, an archive whose declared contents are more than a
// package could hold or more than the disk can take, or whose entries overlap. minizip never
// inflates an entry beyond its declared size, so these declarations bound what unpacking can
// write; the bytes actually inflated are counted against the same bounds as they come. Answers
// each entry's own bound, in the archive's order: the caller's limit is asked only here.
std::vector<std::optional<std::uint64_t>> checkDeclaredTotals(
    unzFile archive, const fs::path& destination, std::uint64_t archiveSize,
    const LxZip::EntrySizeLimit& entrySizeLimit) {
    std::uint64_t entries = 0;
    std::uint64_t bytes = 0;
    std::vector<EntrySpan> spans;
    std::vector<std::optional<std::uint64_t>> limits;
    do {
        const Entry entry = readCurrentEntry(archive);
        const unz_file_info64& info = entry.info;
        ++entries;
        if (entries > LxZip::kMaximumEntryCount ||
            info.uncompressed_size > LxZip::kMaximumUnpackedSize - bytes) {
            refuse("The archive holds more than " + std::to_string(LxZip::kMaximumEntryCount) +
                   " entries or " + std::to_string(LxZip::kMaximumUnpackedSize) +
                   " bytes; it is not unpacked");
        }
        bytes += info.uncompressed_size;
        const std::optional<std::uint64_t> limit =
            entrySizeLimit
                ? entrySizeLimit({entry.name, info.compressed_size, info.uncompressed_size})
                : std::nullopt;
        if (limit && info.uncompressed_size > *limit) {
            refuse("The zip entry \"" + Log::escaped(entry.name) + "\" declares " +
                   std::to_string(info.uncompressed_size) + " bytes, more than its " +
                   std::to_string(*limit) + "; the archive is not unpacked");
        }
        limits.push_back(limit);
        if (const std::optional<EntrySpan> span = currentEntrySpan(archive, info, archiveSize)) {
            spans.push_back(*span);
        }
    } while (goToNextEntry(archive));
    refuseOverlaps(std::move(spans));

    std::error_code error;
    const fs::space_info space = fs::space(nearestExistingFolder(destination), error);
    if (!error && bytes > space.available) {
        refuse("The archive needs " + std::to_string(bytes) + " bytes but the disk has " +
               std::to_string(space.available) + " free; it is not unpacked");
    }
    return limits;
}

// The parts of a name that name something: "a//./b/" gives {"a", "b"}.
std::vector<std::string_view> namedParts(std::string_view name) {
    std::vector<std::string_view> parts;
    while (!name.empty()) {
        const std::size_t separator = name.find('/');
        const std::string_view part = name.substr(0, separator);
        name =
            separator == std::string_view::npos ? std::string_view() : name.substr(separator + 1);
        if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    return parts;
}

// The entry's place in the destination. A name that would lead elsewhere is a sign of a
// crafted archive, not a slip to repair: the whole archive is refused. The shared path rule
// keeps the appended name below the destination on its own; the names are checked first so
// that such an archive is refused rather than unpacked somewhere unexpected.
fs::path targetPath(const Entry& entry, const fs::path& destination) {
    if (entry.rawName.find('\0') != std::string::npos) {
        refuse("Refusing the zip entry \"" + Log::escaped(platform::repairedUTF8(entry.rawName)) +
               "\": its name holds a NUL byte");
    }
    if (entry.name.front() == '/') {
        refuse("Refusing the zip entry \"" + Log::escaped(entry.name) +
               "\": its name is an absolute path");
    }
    const std::vector<std::string_view> parts = namedParts(entry.name);
    if (std::find(parts.begin(), parts.end(), "..") != parts.end()) {
        refuse("Refusing the zip entry \"" + Log::escaped(entry.name) +
               "\": its name leads out of its folder");
    }
    if (parts.empty()) {
        refuse("Refusing the zip entry \"" + Log::escaped(entry.name) +
               "\": its name names no file");
    }
    return platform::appendingPathComponent(destination, entry.name);
}

bool liesBelow(const fs::path& path, const fs::path& folder) {
    const auto [inFolder, inPath] =
        std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return inFolder == folder.end() && inPath != path.end();
}

// Folders already in the destination may be symbolic links; an entry must not reach through
// one to a place outside. The path is resolved as far as it exists; a link at a file's own name
// is left alone, since the finished file replaces the link rather than writing through it.
void checkStaysInside(const fs::path& target, bool isFolder, const fs::path& resolvedDestination,
                      const Entry& entry) {
    std::error_code error;
    const fs::path resolved =
        isFolder ? fs::weakly_canonical(target, error)
                 : fs::weakly_canonical(target.parent_path(), error) / target.filename();
    if (error || !liesBelow(resolved, resolvedDestination)) {
        refuse("Refusing the zip entry \"" + Log::escaped(entry.name) +
               "\": it would land outside the destination folder");
    }
}

void printPermissionFailure(const fs::path& target, const std::string& reason) {
    // Printed directly, not logged: callers and people reading the output know this line.
    const std::string line = "Failed to set permissions to file " + Log::escaped(target.string()) +
                             ", error: " + reason + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

void openEntry(unzFile archive, const Entry& entry, const std::optional<std::string>& password) {
    if (entry.info.compression_method != kStored && entry.info.compression_method != kDeflated) {
        // minizip would hand out other methods' bytes raw, without a CRC check.
        refuse("Refusing the zip entry \"" + Log::escaped(entry.name) + "\": compression method " +
               std::to_string(entry.info.compression_method) + " is not supported");
    }
    const bool asciiPassword =
        password && std::all_of(password->begin(), password->end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    int result = UNZ_OK;
    if ((entry.info.flag & kEncryptedFlag) == 0) {
        result = unzOpenCurrentFile(archive);
    } else if (asciiPassword) {
        result = unzOpenCurrentFilePassword(archive, password->c_str());
    } else {
        refuse("Refusing the zip entry \"" + Log::escaped(entry.name) + "\": it is encrypted");
    }
    if (result != UNZ_OK) {
        fail();
    }
}

// Makes room for `size` bytes in a kept copy. The reservation follows the bytes that arrived,
// a few times what they fill at most, and never goes past the entry's declared size: an entry
// that declares gigabytes and holds a few bytes costs the first reservation and no more.
void reserveCopy(std::string& kept, std::size_t size, std::uint64_t declared) {
    if (size <= kept.capacity()) {
        return;
    }
    const std::uint64_t grownSize =
        std::max<std::uint64_t>(kFirstCopyReservation, kCopyGrowth * kept.capacity());
    // A fresh string reserves exactly what it is asked for; growing one in place may round the
    // request up to twice what it had, past the declared size.
    std::string grown;
    grown.reserve(static_cast<std::size_t>(std::clamp<std::uint64_t>(grownSize, size, declared)));
    grown.append(kept);
    kept.swap(grown);
}

// Gives the file being written the entry's own permissions, where it carries any; a failure is
// printed and the file kept.
void keepEntryPermissions(platform::AtomicFileWriter& file, const Entry& entry,
                          const fs::path& target) {
    if (const std::optional<mode_t> permissions = entry.permissions()) {
        try {
            file.setPermissions(*permissions);
        } catch (const platform::FileSystemError& error) {
            printPermissionFailure(target, error.code().message());
        }
    }
}

// Streams the current entry into a new file that takes the target's name only once every byte
// is there and the CRC and size match; a failure leaves whatever was at the target before.
// An entry the caller keeps is inflated into the caller's string instead, and no file is made.
void unpackFileEntry(unzFile archive, const Entry& entry, const fs::path& target,
                     std::vector<char>& buffer, std::uint64_t limit, std::string* copy) {
    OpenEntry open(archive);
    try {
        std::optional<platform::AtomicFileWriter> file;
        if (copy == nullptr) {
            file.emplace(target);
        }
        // minizip inflates no more than the declared size, so the copy is read in steps that
        // stop there; the read that finds the end goes to the scratch buffer, and anything it
        // still finds is more than the entry may hold.
        const std::uint64_t declared =
            std::min(static_cast<std::uint64_t>(entry.info.uncompressed_size), limit);
        std::string kept;
        if (copy != nullptr) {
            copy->clear();
        }
        std::uint64_t written = 0;
        for (;;) {
            const bool intoCopy = copy != nullptr && written < declared;
            char* into = buffer.data();
            std::size_t room = buffer.size();
            if (intoCopy) {
                room = static_cast<std::size_t>(
                    std::min<std::uint64_t>(declared - written, kCopyStep));
                const auto size = static_cast<std::size_t>(written) + room;
                reserveCopy(kept, size, declared);
                kept.resize(size);
                into = kept.data() + written;
            }
            const int count = unzReadCurrentFile(archive, into, static_cast<unsigned>(room));
            if (count < 0) {
                fail();
            }
            if (intoCopy) {
                kept.resize(static_cast<std::size_t>(written) + static_cast<std::size_t>(count));
            }
            if (count == 0) {
                break;
            }
            written += static_cast<std::uint64_t>(count);
            if (written > limit) {
                refuse("The zip entry \"" + Log::escaped(entry.name) + "\" inflates to more than " +
                       std::to_string(limit) + " bytes; the archive is not unpacked");
            }
            if (file) {
                file->write(std::string_view(buffer.data(), static_cast<std::size_t>(count)));
            } else if (!intoCopy) {
                fail();
            }
        }
        if (open.close() != UNZ_OK || written != entry.info.uncompressed_size) {
            fail();
        }
        if (file) {
            keepEntryPermissions(*file, entry, target);
            file->commit(platform::AtomicFileWriter::Durability::unflushed);
        } else {
            *copy = std::move(kept);
        }
    } catch (const platform::FileSystemError&) {
        fail();
    }
}

// Whether the entry is inflated whole, from its compressed bytes read in one piece into a buffer
// of its declared size, rather than streamed: a deflated, unencrypted entry the caller keeps a
// copy of, declaring no more than deflate can make of its compressed bytes. An entry declaring
// more is lying, and is streamed so that the lie costs no reservation of its size.
bool inflatesWhole(const Entry& entry, const std::string* copy) {
    return copy != nullptr && entry.info.compression_method == kDeflated &&
           (entry.info.flag & kEncryptedFlag) == 0 &&
           entry.info.uncompressed_size / kDeflateMostExpansion <= entry.info.compressed_size;
}

struct DecompressorRelease {
    void operator()(libdeflate_decompressor* decompressor) const {
        libdeflate_free_decompressor(decompressor);
    }
};

// Inflates the current entry whole with libdeflate into the caller's string. Its bytes must come
// to exactly the declared size and match its CRC.
void keepWholeEntry(unzFile archive, const Entry& entry, std::string& copy) {
    copy.clear();
    OpenEntry open(archive);
    if (unzOpenCurrentFile2(archive, nullptr, nullptr, 1) != UNZ_OK) {
        fail();
    }
    const auto compressedSize = static_cast<std::size_t>(entry.info.compressed_size);
    const auto compressed = std::make_unique_for_overwrite<char[]>(compressedSize);
    std::size_t read = 0;
    while (read < compressedSize) {
        const int count = unzReadCurrentFile(
            archive, compressed.get() + read,
            static_cast<unsigned>(std::min<std::size_t>(compressedSize - read, kCopyStep)));
        if (count <= 0) {
            fail();
        }
        read += static_cast<std::size_t>(count);
    }
    if (open.close() != UNZ_OK) {
        fail();
    }
    const std::unique_ptr<libdeflate_decompressor, DecompressorRelease> decompressor(
        libdeflate_alloc_decompressor());
    if (!decompressor) {
        fail();
    }
    std::string kept(static_cast<std::size_t>(entry.info.uncompressed_size), '\0');
    std::size_t inflated = 0;
    if (libdeflate_deflate_decompress(decompressor.get(), compressed.get(), compressedSize,
                                      kept.data(), kept.size(), &inflated) != LIBDEFLATE_SUCCESS ||
        inflated != kept.size() ||
        libdeflate_crc32(0, kept.data(), kept.size()) != entry.info.crc) {
        fail();
    }
    copy = std::move(kept);
}

struct FolderPermissions {
    fs::path folder;
    mode_t permissions;
};

// Applied once everything is unpacked: a folder stored read-only would otherwise refuse the
// files inside it. Deepest first, so that a folder closed to its owner cannot stop its
// sub-folders from being set.
void applyFolderPermissions(std::vector<FolderPermissions> folders) {
    std::sort(folders.begin(), folders.end(), [](const auto& lhs, const auto& rhs) {
        return lhs.folder.native().size() > rhs.folder.native().size();
    });
    for (const FolderPermissions& entry : folders) {
        std::error_code error;
        if (!fs::is_directory(fs::symlink_status(entry.folder, error))) {
            continue;  // not the folder this call made: a file or link took the name
        }
        fs::permissions(entry.folder, fs::perms(entry.permissions), fs::perm_options::replace,
                        error);
        if (error) {
            printPermissionFailure(entry.folder, error.message());
        }
    }
}

// What the entries of one call share.
struct Unpacking {
    unzFile archive;
    fs::path resolvedDestination;
    bool overwrite;
    const std::optional<std::string>& password;
    // Each entry's own bound, in the archive's order.
    std::vector<std::optional<std::uint64_t>> entryLimits;
    const LxZip::EntryKeeping& entryKeeping;
    std::vector<char> buffer = std::vector<char>(kReadBufferSize, '\0');
    std::vector<FolderPermissions> folderPermissions = {};

    // True when the folder is there afterwards. One that cannot be made is passed over; the
    // entries inside it fail in their turn.
    bool unpackFolder(const Entry& entry, const fs::path& target) {
        if (entry.info.uncompressed_size != 0) {
            fail();
        }
        checkStaysInside(target, true, resolvedDestination, entry);
        std::error_code error;
        fs::create_directories(target, error);
        if (!fs::is_directory(fs::symlink_status(target, error))) {
            return false;
        }
        if (const std::optional<mode_t> permissions = entry.permissions()) {
            folderPermissions.push_back({target, *permissions});
        }
        return true;
    }

    // True when the file was written; false when an existing one was left as it was, or the
    // caller keeps the entry's bytes instead.
    bool unpackFile(const Entry& entry, std::size_t index, const fs::path& target) {
        checkStaysInside(target, false, resolvedDestination, entry);
        std::error_code error;
        fs::create_directories(target.parent_path(), error);
        // A dangling link counts as taken too: it is never written through.
        if (!overwrite && fs::exists(fs::symlink_status(target, error))) {
            return false;
        }
        if (index >= entryLimits.size()) {
            fail();  // more entries than the declarations counted
        }
        // The declared size was held against the entry's limit before anything was written; the
        // whole-entry path inflates exactly that size and no more.
        std::string* copy = entryKeeping ? entryKeeping(entry.name) : nullptr;
        if (inflatesWhole(entry, copy)) {
            keepWholeEntry(archive, entry, *copy);
            return false;
        }
        openEntry(archive, entry, password);
        std::uint64_t limit = entry.info.uncompressed_size;
        limit = std::min(limit, entryLimits[index].value_or(limit));
        unpackFileEntry(archive, entry, target, buffer, limit, copy);
        return copy == nullptr;
    }
};

}  // namespace

void LxZip::unzipFile(const fs::path& zipFilePath, const fs::path& destination, bool overwrite,
                      const std::optional<std::string>& password, const ProgressHandler& progress,
                      const FileOutputHandler& fileOutputHandler,
                      const EntrySizeLimit& entrySizeLimit, const EntryKeeping& entryKeeping) {
    if (!platform::itemExists(zipFilePath)) {
        throw LxZipError::fileNotFound();
    }
    // Any item has a size; one that is not an archive fails when minizip opens it.
    struct stat attributes {};
    if (::stat(zipFilePath.c_str(), &attributes) != 0) {
        throw platform::FileSystemError::fromErrno("Could not read", zipFilePath);
    }
    const double total = static_cast<double>(attributes.st_size);

    Archive archive(unzOpen64(zipFilePath.c_str()));
    if (!archive || unzGoToFirstFile(archive.get()) != UNZ_OK) {
        fail();
    }
    std::vector<std::optional<std::uint64_t>> entryLimits = checkDeclaredTotals(
        archive.get(), destination, static_cast<std::uint64_t>(attributes.st_size), entrySizeLimit);
    if (unzGoToFirstFile(archive.get()) != UNZ_OK) {
        fail();
    }

    std::error_code error;
    fs::create_directories(destination, error);
    const fs::path resolvedDestination = fs::weakly_canonical(destination, error);
    if (error || !fs::is_directory(resolvedDestination, error)) {
        fail();
    }

    Unpacking unpacking{archive.get(), resolvedDestination,    overwrite,
                        password,      std::move(entryLimits), entryKeeping};
    double position = 0;
    std::size_t index = 0;
    do {
        const Entry entry = readCurrentEntry(archive.get());
        const fs::path target = targetPath(entry, destination);
        bool written = false;
        if (entry.isSymbolicLink()) {
            // A link planted by an archive could send later entries, or the caller, anywhere.
            Log::warning("Skipping the zip entry \"" + Log::escaped(entry.name) +
                         "\": it is a symbolic link");
        } else if (entry.isFolder) {
            written = unpacking.unpackFolder(entry, target);
        } else {
            written = unpacking.unpackFile(entry, index, target);
        }
        ++index;

        position += static_cast<double>(entry.info.compressed_size);
        if (progress) {
            progress(total > 0 ? std::min(position / total, 1.0) : 0.0);
        }
        if (written && fileOutputHandler) {
            fileOutputHandler(target);
        }
    } while (goToNextEntry(archive.get()));

    applyFolderPermissions(std::move(unpacking.folderPermissions));
    if (progress) {
        progress(1.0);
    }
    if (unzClose(archive.release()) != UNZ_OK) {
        fail();
    }
}

std::vector<LxZip::EntrySummary> LxZip::verifiedEntries(const fs::path& zipFilePath) {
    Archive archive(unzOpen64(zipFilePath.c_str()));
    if (!archive || unzGoToFirstFile(archive.get()) != UNZ_OK) {
        fail();
    }
    std::vector<EntrySummary> entries;
    std::vector<char> buffer(kReadBufferSize * 16);
    do {
        const Entry entry = readCurrentEntry(archive.get());
        if (entry.info.compression_method != kStored &&
            entry.info.compression_method != kDeflated) {
            fail();
        }
        OpenEntry open(archive.get());
        if ((entry.info.flag & kEncryptedFlag) != 0 ||
            unzOpenCurrentFile(archive.get()) != UNZ_OK) {
            fail();
        }
        std::uint64_t size = 0;
        uLong crc = crc32(0, nullptr, 0);
        for (;;) {
            const int count = unzReadCurrentFile(archive.get(), buffer.data(),
                                                 static_cast<unsigned>(buffer.size()));
            if (count < 0) {
                fail();
            }
            if (count == 0) {
                break;
            }
            size += static_cast<std::uint64_t>(count);
            crc =
                crc32(crc, reinterpret_cast<const Bytef*>(buffer.data()), static_cast<uInt>(count));
        }
        // The close compares the bytes' CRC with the recorded one; the size is compared here.
        if (open.close() != UNZ_OK || size != entry.info.uncompressed_size ||
            crc != entry.info.crc) {
            fail();
        }
        entries.push_back({entry.rawName, size, static_cast<std::uint32_t>(crc)});
    } while (goToNextEntry(archive.get()));
    if (unzClose(archive.release()) != UNZ_OK) {
        fail();
    }
    return entries;
}
