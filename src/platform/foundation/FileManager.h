#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

// The file operations of the system's file and folder values: one operating-system service
// each, safe to call from any thread, nothing logged.
//
// Every operation takes the path as given (a trailing "/" is ignored, so a symbolic link is
// handled as the link, never as its target) and throws platform::FileSystemError with the
// system's reason when it fails. None of them replaces an item that already exists.
//
// Example:
//   platform::copyItem(work / "project.moc", backup / "project.moc");   // keeps the time stamp
//   platform::moveItem(temporaryPackage, chosenPlace);                  // fails if taken
namespace platform {

// True when anything is at `path`, a folder included; a symbolic link counts by its target.
// False on every failure.
bool itemExists(const std::filesystem::path& path) noexcept;

// Copies the file, folder (with everything inside) or symbolic link at `from` to the new path
// `to`, keeping modification times and permissions. Fails when anything is at `to` already,
// when `to` lies inside the folder `from`, or when the folder holds an item that is neither a
// file, a folder nor a link; a failed copy leaves nothing at `to`.
void copyItem(const std::filesystem::path& from, const std::filesystem::path& to);

// Moves the item at `from` to the new path `to`, across file systems too. Fails when anything is
// at `to` already; both items are then left as they were.
void moveItem(const std::filesystem::path& from, const std::filesystem::path& to);

// Removes the item at `path`, a folder with everything inside. Fails when nothing is there.
void removeItem(const std::filesystem::path& path);

// Creates the folder at `path` and any missing folders above it; succeeds when the folder
// exists already.
void createFolder(const std::filesystem::path& path);

// The whole content of the file at `path`. A folder fails (EISDIR).
std::vector<std::uint8_t> readFileContents(const std::filesystem::path& path);

// Writes `bytes` over the file at `path` in place, creating it with the usual permissions (0666
// less the umask). Not atomic: a failure may leave a part of the bytes; see writeFileAtomically.
void writeFileContents(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace platform
