#include "platform/foundation/AtomicFile.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Removes the temporary file unless the rename took it.
class TemporaryFile {
public:
    TemporaryFile(std::filesystem::path path, int descriptor)
        : path_(std::move(path)), descriptor_(descriptor) {}
    ~TemporaryFile() {
        closeDescriptor();
        if (!committed_) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int descriptor() const { return descriptor_; }
    const std::filesystem::path& path() const { return path_; }

    // Closing reports late write errors (some file systems only fail here).
    void close() {
        const int descriptor = descriptor_;
        descriptor_ = -1;
        if (::close(descriptor) != 0) {
            throw FileSystemError::fromErrno("Could not write", path_);
        }
    }
    void committed() { committed_ = true; }

private:
    void closeDescriptor() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
            descriptor_ = -1;
        }
    }

    std::filesystem::path path_;
    int descriptor_;
    bool committed_ = false;
};

}  // namespace

void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    const std::filesystem::path temporaryPath = temporarySibling(path);
    const int descriptor =
        ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        throw FileSystemError::fromErrno("Could not write", path);
    }
    TemporaryFile temporary(temporaryPath, descriptor);

    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        ::fchmod(temporary.descriptor(), existing.st_mode & 07777);
    }
    internal::writeAll(temporary.descriptor(), bytes, temporary.path());
    if (::fsync(temporary.descriptor()) != 0) {
        throw FileSystemError::fromErrno("Could not write", temporary.path());
    }
    temporary.close();
    if (::rename(temporary.path().c_str(), path.c_str()) != 0) {
        throw FileSystemError::fromErrno("Could not write", path);
    }
    temporary.committed();
}

}  // namespace platform
