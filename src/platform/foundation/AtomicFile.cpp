#include "platform/foundation/AtomicFile.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/foundation/FileSystemError.h"
#include "platform/foundation/internal/FileDescriptors.h"

namespace platform {
namespace {

// A name beside the target that no other writer picks: the target's name, a dot prefix so it
// stays hidden, and random hex digits.
std::filesystem::path temporarySibling(const std::filesystem::path& path) {
    std::uint64_t random = 0;
    if (getrandom(&random, sizeof random, 0) != sizeof random) {
        random = static_cast<std::uint64_t>(getpid()) ^ reinterpret_cast<std::uintptr_t>(&random);
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string suffix;
    for (int shift = 60; shift >= 0; shift -= 4) {
        suffix += kHex[(random >> shift) & 0xF];
    }
    return path.parent_path() / ("." + path.filename().string() + "." + suffix + ".tmp");
}

// Closes the descriptor however the copy ends.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::filesystem::path& path)
        : descriptor_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        if (descriptor_ < 0) {
            throw FileSystemError::fromErrno("Could not read", path);
        }
    }
    ~ReadOnlyFile() { ::close(descriptor_); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    int descriptor() const { return descriptor_; }

private:
    int descriptor_;
};

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path path)
    : path_(std::move(path)),
      temporaryPath_(temporarySibling(path_)),
      known_(temporaryPath_.c_str()) {
    // O_EXCL: the temporary is always a new file of ours, never something planted at its name.
    descriptor_ = ::open(temporaryPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor_ < 0) {
        throw FileSystemError::fromErrno("Could not write", path_);
    }
    // A replaced file keeps its mode: a private file must not come back readable by others, so
    // a mode that cannot be read or given fails the write rather than widening it.
    struct stat existing {};
    if (::stat(path_.c_str(), &existing) != 0) {
        if (errno != ENOENT) {
            failInConstructor("Could not read");
        }
    } else if (S_ISREG(existing.st_mode) && ::fchmod(descriptor_, existing.st_mode & 07777) != 0) {
        failInConstructor("Could not set the permissions of");
    }
}

void AtomicFileWriter::failInConstructor(std::string_view operation) {
    const FileSystemError error = FileSystemError::fromErrno(operation, path_);
    ::close(descriptor_);
    descriptor_ = -1;
    ::unlink(temporaryPath_.c_str());
    throw error;
}

AtomicFileWriter::~AtomicFileWriter() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
    if (!committed_) {
        ::unlink(temporaryPath_.c_str());
    }
}

void AtomicFileWriter::write(std::string_view bytes) {
    internal::writeAll(descriptor_, bytes, temporaryPath_);
}

void AtomicFileWriter::setPermissions(mode_t mode) {
    if (::fchmod(descriptor_, mode & 07777) != 0) {
        throw FileSystemError::fromErrno("Could not set the permissions of", path_);
    }
}

void AtomicFileWriter::commit(Durability durability) {
    if (durability == Durability::flushed && ::fsync(descriptor_) != 0) {
        throw FileSystemError::fromErrno("Could not write", temporaryPath_);
    }
    // Closing reports late write errors (some file systems only fail here).
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (::close(descriptor) != 0) {
        throw FileSystemError::fromErrno("Could not write", temporaryPath_);
    }
    if (::rename(temporaryPath_.c_str(), path_.c_str()) != 0) {
        throw FileSystemError::fromErrno("Could not write", path_);
    }
    known_.forget();
    committed_ = true;
}

void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    AtomicFileWriter writer(path);
    writer.write(bytes);
    writer.commit();
}

// In pieces: a combined package may be large, and it need not sit in memory twice.
void copyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to,
                        const std::function<void(const std::filesystem::path& copy)>& checkCopy) {
    const ReadOnlyFile source(from);
    struct stat status {};
    if (::fstat(source.descriptor(), &status) != 0) {
        throw FileSystemError::fromErrno("Could not read", from);
    }
    if (!S_ISREG(status.st_mode)) {
        throw FileSystemError("Could not read", from,
                              std::make_error_code(std::errc::is_a_directory));
    }
    // Found out before the copy, not by the final rename after it.
    struct stat target {};
    if (::stat(to.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) {
        throw FileSystemError("Could not write", to,
                              std::make_error_code(std::errc::is_a_directory));
    }
    AtomicFileWriter writer(to);
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t count = ::read(source.descriptor(), buffer.data(), buffer.size());
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileSystemError::fromErrno("Could not read", from);
        }
        if (count == 0) {
            break;
        }
        writer.write(std::string_view(buffer.data(), static_cast<std::size_t>(count)));
    }
    // Before the flush: the check reads what the writes left, and a write the disk refuses
    // later still fails the commit.
    if (checkCopy) {
        checkCopy(writer.temporaryPath());
    }
    writer.commit();
}

}  // namespace platform
