#pragma once

#include <filesystem>
#include <functional>
#include <string_view>
#include <sys/types.h>

#include "platform/foundation/internal/TemporarySiblings.h"

namespace platform {

// Writes `bytes` as the whole content of the file at `path`, all or nothing.
//
// The bytes go to a new temporary sibling, are flushed to disk and only then renamed over
// `path`, so a reader sees the old content or the new, never a part; a failure leaves any
// old file as it was and no temporary behind. A new file gets the usual permissions (0666 less
// the umask); a replaced file keeps its own.
//
// Throws platform::FileSystemError when any step fails.
void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Copies the regular file at `from` as the whole content of the file at `to`, all or nothing,
// as writeFileAtomically does: an existing file at `to` is replaced only once the copy is
// complete, and any failure (an unreadable `from`, a full disk, a folder at `to`) leaves it as
// it was and no temporary behind. `from` is never changed.
//
// `checkCopy`, when given, is called with the path of the complete copy before it replaces
// anything, so that what is checked is the very bytes `to` will hold; whatever it throws fails
// the copy as above and is passed on.
//
// Throws platform::FileSystemError when any step fails.
void copyFileAtomically(
    const std::filesystem::path& from, const std::filesystem::path& to,
    const std::function<void(const std::filesystem::path& copy)>& checkCopy = {});

// A whole file written in pieces, all or nothing: what writeFileAtomically does in one call,
// for content that arrives in parts or that a library writes through its own file layer.
//
// The bytes go to a new hidden sibling of the target (made at once, never an existing item);
// commit() renames it over the target once it is complete. A writer destroyed without a
// successful commit() removes its temporary, and so does the end of the process by SIGINT,
// SIGTERM, SIGHUP or exit() while it writes (ProcessLifetime), so a failure leaves any old file as
// it was and nothing half-written. The rename replaces a symbolic link at the target, never the
// file it points to. One writer belongs to one thread.
//
// Every operation throws platform::FileSystemError when the system refuses.
//
// Example:
//   platform::AtomicFileWriter writer(folder / "photo.jpg");
//   while (const auto chunk = source.next()) { writer.write(*chunk); }
//   writer.commit();
class AtomicFileWriter {
public:
    // Whether commit() waits for the bytes to reach the disk before the rename. `flushed`
    // keeps the new content across a crash of the machine; `unflushed` suits files in a
    // temporary working folder, where speed matters more.
    enum class Durability { flushed, unflushed };

    // Makes the temporary sibling with the permissions of the regular file at `path`, or the
    // usual ones (0666 less the umask) when there is none. Fails when the existing file's
    // permissions cannot be read or given to the new one, which would widen them.
    explicit AtomicFileWriter(std::filesystem::path path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // The file that commit() replaces.
    const std::filesystem::path& path() const { return path_; }
    // Where the bytes are until commit(), for a library that opens the file by its path itself.
    const std::filesystem::path& temporaryPath() const { return temporaryPath_; }

    // Appends the bytes to the temporary file.
    void write(std::string_view bytes);

    // The permission bits the file will have, `mode` & 07777.
    void setPermissions(mode_t mode);

    // Closes the temporary file and renames it over the target; once only.
    void commit(Durability durability = Durability::flushed);

private:
    // A throwing constructor runs no destructor: closes and removes the temporary itself.
    [[noreturn]] void failInConstructor(std::string_view operation);

    std::filesystem::path path_;
    std::filesystem::path temporaryPath_;
    // Known before the file exists, so that a signal ending the process removes it too.
    internal::TemporarySibling known_;
    int descriptor_ = -1;
    bool committed_ = false;
};

}  // namespace platform
