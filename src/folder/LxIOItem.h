#pragma once

#include <concepts>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "folder/LxFile.h"
#include "folder/LxFolder.h"
#include "platform/foundation/Date.h"

// What a file or folder on disk looks like to code that only lists folders or reads attributes,
// so that other types can stand in for LxFile and LxFolder: the concepts LxIOItem and
// LxIOFolder, the operations every such item has (fetchSubFiles(), fetchSubFolders(),
// attributes()), and LxCompositeFolder, a base that makes any type wrapping a folder behave as
// that folder.
//
// None of the operations here throws or logs: a path that is no folder, a folder that cannot be
// read, an entry whose kind cannot be read and an item whose attributes cannot be read all give
// an empty or absent result. Listings are one level deep, in the file system's own order
// (nothing is sorted), skip hidden entries (names starting with ".") and hold only regular files
// or folders themselves: a symbolic link appears in neither list. Any thread may call them; a
// listing is a snapshot of a folder that may change under it.
//
// Example:
//   for (const LxFile& file : fetchSubFiles(LxFolder::documentFolder())) {
//       if (const auto about = attributes(file); about && about->fileSize) { ... }
//   }

// Anything on disk named by a path.
template <class Item>
concept LxIOItem = requires(const Item& item) {
    { item.url() } -> std::convertible_to<std::filesystem::path>;
    { item.pathString() } -> std::convertible_to<std::string>;
};

// A folder with the operations of LxFolder, with their meaning there.
template <class Folder>
concept LxIOFolder = LxIOItem<Folder> &&
    requires(const Folder& folder, std::string_view name, const LxFolder& to,
             const std::filesystem::path& toPath) {
    { folder.isSystem() } -> std::convertible_to<bool>;
    { folder.folderName() } -> std::convertible_to<std::string>;
    { folder.exists() } -> std::convertible_to<bool>;
    { folder.child(name, false) } -> std::convertible_to<LxFolder>;
    { folder.file(name) } -> std::convertible_to<LxFile>;
    folder.create();
    folder.createIfNotExist();
    folder.delete_();
    folder.copy(to);
    folder.copy(toPath);
    folder.move(to);
    folder.move(toPath);
};

// An item's file-system attributes; each is absent when the file system does not report it.
struct LxFileFolderItemAttributes {
    std::optional<platform::Date> modificationTime;
    // Only where the file system records a birth time (not on every Linux file system).
    std::optional<platform::Date> creationTime;
    // Bytes; a folder reports what its file system gives for folders (4096 on ext4).
    std::optional<std::int64_t> fileSize;
    // The owning account's name; absent when its user id has none.
    std::optional<std::string> owner;
};

namespace lxio {

// The regular files, and the folders, directly inside the folder at `folder`.
std::vector<LxFile> subFilesOf(const std::filesystem::path& folder);
std::vector<LxFolder> subFoldersOf(const std::filesystem::path& folder);

// The attributes of the item at `path` itself: a symbolic link is not followed.
std::optional<LxFileFolderItemAttributes> attributesOf(const std::filesystem::path& path);

}  // namespace lxio

// The regular files directly inside `folder`.
template <LxIOFolder Folder>
std::vector<LxFile> fetchSubFiles(const Folder& folder) {
    return lxio::subFilesOf(folder.url());
}

// The folders directly inside `folder`, each an ordinary (not a system) folder.
template <LxIOFolder Folder>
std::vector<LxFolder> fetchSubFolders(const Folder& folder) {
    return lxio::subFoldersOf(folder.url());
}

// The attributes of the item itself (a symbolic link's own, not its target's); absent when
// they cannot be read.
template <LxIOItem Item>
std::optional<LxFileFolderItemAttributes> attributes(const Item& item) {
    return lxio::attributesOf(item.pathString());
}

// A base that makes a type wrapping a folder behave as that folder: `Derived` supplies only
// `folder()`, answering an LxFolder, and gets every LxIOFolder operation, each doing exactly
// what LxFolder does with that folder (system-folder refusals and thrown errors included).
//
// Example:
//   class ProjectArchive : public LxCompositeFolder<ProjectArchive> {
//   public:
//       LxFolder folder() const { return LxFolder::documentFolder().child("Archive", false); }
//   };
//   ProjectArchive().createIfNotExist();
template <class Derived>
class LxCompositeFolder {
public:
    std::filesystem::path url() const { return wrapped().url(); }
    std::string pathString() const { return wrapped().pathString(); }
    bool isSystem() const { return wrapped().isSystem(); }
    std::string folderName() const { return wrapped().folderName(); }
    bool exists() const { return wrapped().exists(); }
    LxFolder child(std::string_view name, bool isSystem) const {
        return wrapped().child(name, isSystem);
    }
    LxFile file(std::string_view name) const { return wrapped().file(name); }
    void create() const noexcept { wrapped().create(); }
    void createIfNotExist() const noexcept { wrapped().createIfNotExist(); }
    void delete_() const { wrapped().delete_(); }
    void copy(const LxFolder& to) const { wrapped().copy(to); }
    void copy(const std::filesystem::path& to) const { wrapped().copy(to); }
    void move(const LxFolder& to) const { wrapped().move(to); }
    void move(const std::filesystem::path& to) const { wrapped().move(to); }

protected:
    LxCompositeFolder() = default;

private:
    LxFolder wrapped() const { return static_cast<const Derived&>(*this).folder(); }
};

static_assert(LxIOItem<LxFile>);
static_assert(LxIOFolder<LxFolder>);
