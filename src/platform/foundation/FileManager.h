#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <system_error>
#include <vector>

#include "platform/foundation/Date.h"

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

// True for the paths every removal refuses, as `rm -r` does: the root folder, once the path is
// made absolute (from the current folder) and its "." and ".." parts are taken out lexically
// ("/", "//", "/.", "/a/.."), and any path whose last component is "." or ".." (".", "a/..",
// "a/b/../..": removing it would empty a folder that then still exists, or its parent). Only
// the text is read; nothing on disk is asked.
bool isRefusedForRemoval(const std::filesystem::path& path) noexcept;

// Removes the item at `path`, a folder with everything inside. Fails when nothing is there, and
// refuses a path isRefusedForRemoval() names (std::errc::operation_not_permitted) without
// touching anything.
void removeItem(const std::filesystem::path& path);

// The same removal for callers that cannot fail: what removeItem() would have thrown, as a
// code, and nothing for an item removed or already gone. Every recursive removal of the system
// goes through one of these two.
std::error_code removeItemIfPresent(const std::filesystem::path& path) noexcept;

// Creates the folder at `path` and any missing folders above it; succeeds when the folder
// exists already.
void createFolder(const std::filesystem::path& path);

// The modification time of the item at `path` itself (a symbolic link's own, not its
// target's); none when it cannot be read.
std::optional<Date> itemModificationDate(const std::filesystem::path& path) noexcept;

// The whole content of the file at `path`. A folder fails (EISDIR).
std::vector<std::uint8_t> readFileContents(const std::filesystem::path& path);

// Writes `bytes` over the file at `path` in place, creating it with the usual permissions (0666
// less the umask). Not atomic: a failure may leave a part of the bytes; see writeFileAtomically.
void writeFileContents(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace platform
