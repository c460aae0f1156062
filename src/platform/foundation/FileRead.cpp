#include "platform/foundation/FileRead.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "platform/foundation/FileSystemError.h"

namespace platform {
namespace {

class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    ~Descriptor() { ::close(descriptor_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return descriptor_; }

private:
    int descriptor_;
};

}  // namespace

std::string readFile(const std::filesystem::path& path) {
    const int opened = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (opened < 0) {
        throw FileSystemError::fromErrno("Could not read", path);
    }
    const Descriptor file(opened);
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        throw FileSystemError::fromErrno("Could not read", path);
    }
    // Linux opens a folder for reading; only `read` would fail, later and less clearly.
    if (S_ISDIR(status.st_mode)) {
        throw FileSystemError("Could not read", path,
                              std::make_error_code(std::errc::is_a_directory));
    }
    std::string bytes;
    if (S_ISREG(status.st_mode)) {
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    }
    char buffer[65536];
    while (true) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileSystemError::fromErrno("Could not read", path);
        }
        if (count == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
}

}  // namespace platform
