#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "folder/LxFile.h"

// One folder named by its path, with the rule that sets system folders apart: the user's
// standard folders and the temporary folder are taken to exist, are never created, and refuse to
// be deleted or moved (LxError "System folder can't be deleted" / "System folder can't be
// moved"), though they may be copied. The flag is whatever the maker said; it is never guessed
// from the path and a sub-folder does not inherit it.
//
// A plain value like LxFile: making one touches nothing, the path is kept as given (in folder
// form, ending in "/"), and each operation is one file-system call that throws
// platform::FileSystemError when the system refuses. Names appended by child() and file() stay
// inside the folder whatever they hold ("/abs", "../x").
//
// Example:
//   const LxFolder work = LxFolder::tmpFolder().child(LxUniqueIdentifier::shared().uuidString(),
//                                                     false);
//   work.createIfNotExist();
//   work.file("project.moc").write(json);
//   const LxFile package = LxFolder::temporaryFile("orb");   // "<UUID>.orb", not yet on disk
class LxFolder {
public:
    LxFolder(std::filesystem::path url, bool isSystem);

    // The path in folder form, ending in "/" (empty stays empty).
    const std::filesystem::path& url() const { return url_; }
    bool isSystem() const { return isSystem_; }

    // The path without the trailing "/".
    std::string pathString() const;
    // The last name of the path: "Inbox" for "/home/anna/Documents/Inbox/".
    std::string folderName() const;

    // The sub-folder `name`, with the flag given (not this folder's). Nothing is created.
    LxFolder child(std::string_view name, bool isSystem) const;
    // The file `name` in this folder. Nothing is created.
    LxFile file(std::string_view name) const;

    // A system folder answers true without asking the disk; any other folder is there when
    // anything, a file included, is at its path.
    bool exists() const;

    // Creates the folder and any missing folders above it; nothing for a system folder. A
    // failure (a file in the way, no permission) is dropped: the folder is simply not there
    // afterwards. Never throws.
    void create() const noexcept;
    // As create(), but only when nothing is at the path yet.
    void createIfNotExist() const noexcept;

    // Removes the folder with everything inside. The root folder and a path whose last
    // component is "." or ".." are refused (platform::FileSystemError,
    // std::errc::operation_not_permitted) without touching anything.
    void delete_() const;
    // Copies the folder with everything inside to the full path `to`, which must not exist.
    // Allowed for system folders too.
    void copy(const LxFolder& to) const;
    void copy(const std::filesystem::path& to) const;
    // Moves the folder to the full path `to`, which must not exist.
    void move(const LxFolder& to) const;
    void move(const std::filesystem::path& to) const;

    // The user's standard folders, each a system folder that need not exist.
    static LxFolder documentFolder();
    static LxFolder inboxFolder();  // "Inbox" in documentFolder()
    static LxFolder libraryFolder();
    static LxFolder applicationSupportFolder();
    static LxFolder cacheFolder();

    // This process's private temporary folder (mode 0700), made on first use; a system folder.
    // Throws platform::FileSystemError when it cannot be made.
    static LxFolder tmpFolder();

    // A new file name in tmpFolder(): a fresh upper-case UUID, then the extension after a "."
    // ("orb" -> "<UUID>.orb"), or as given when it starts with one (".orb" -> "<UUID>.orb");
    // no extension or "" gives the UUID alone. Nothing is created.
    static LxFile temporaryFile(std::optional<std::string_view> fileExtension = std::nullopt);

private:
    // The two refusals of a system folder.
    void refuseIfSystem(const char* message) const;

    std::filesystem::path url_;
    bool isSystem_;
};
