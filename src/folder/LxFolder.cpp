#include "folder/LxFolder.h"

#include "platform/foundation/FileManager.h"
#include "platform/foundation/FilePath.h"
#include "platform/foundation/FileSystemError.h"
#include "platform/foundation/StandardFolders.h"
#include "utility/LxError.h"
#include "utility/LxUniqueIdentifier.h"

namespace {

// A folder's path always ends in "/", so appending to it and printing it read the same whoever
// made it; an empty path stays empty rather than turning into the root or the current folder.
std::filesystem::path folderForm(std::filesystem::path path) {
    if (!path.empty() && path.native().back() != '/') {
        path += '/';
    }
    return path;
}

LxFolder systemFolder(const std::filesystem::path& path) {
    return LxFolder(path, true);
}

}  // namespace

LxFolder::LxFolder(std::filesystem::path url, bool isSystem)
    : url_(folderForm(std::move(url))), isSystem_(isSystem) {}

std::string LxFolder::pathString() const {
    return platform::pathWithoutTrailingSeparators(url_);
}

std::string LxFolder::folderName() const {
    return platform::lastPathComponent(url_);
}

LxFolder LxFolder::child(std::string_view name, bool isSystem) const {
    return LxFolder(platform::appendingPathComponent(url_, name, true), isSystem);
}

LxFile LxFolder::file(std::string_view name) const {
    return LxFile(platform::appendingPathComponent(url_, name));
}

bool LxFolder::exists() const {
    return isSystem_ || platform::itemExists(url_);
}

void LxFolder::create() const noexcept {
    if (isSystem_) {
        return;
    }
    // Callers learn of a folder that could not be made when they next use it.
    try {
        platform::createFolder(url_);
    } catch (const platform::FileSystemError&) {
    }
}

void LxFolder::createIfNotExist() const noexcept {
    if (!isSystem_ && !platform::itemExists(url_)) {
        create();
    }
}

void LxFolder::refuseIfSystem(const char* message) const {
    if (isSystem_) {
        throw LxError::failure(message);
    }
}

void LxFolder::delete_() const {
    refuseIfSystem("System folder can't be deleted");
    platform::removeItem(url_);
}

void LxFolder::copy(const LxFolder& to) const {
    copy(to.url());
}

void LxFolder::copy(const std::filesystem::path& to) const {
    platform::copyItem(url_, to);
}

void LxFolder::move(const LxFolder& to) const {
    move(to.url());
}

void LxFolder::move(const std::filesystem::path& to) const {
    refuseIfSystem("System folder can't be moved");
    platform::moveItem(url_, to);
}

LxFolder LxFolder::documentFolder() {
    return systemFolder(platform::userFolder(platform::UserFolder::documents));
}

LxFolder LxFolder::inboxFolder() {
    return documentFolder().child("Inbox", true);
}

// Linux has no per-user library; ~/.local holds the same kind of data.
LxFolder LxFolder::libraryFolder() {
    return systemFolder(platform::homeFolder() / ".local");
}

LxFolder LxFolder::applicationSupportFolder() {
    return systemFolder(platform::dataHome());
}

LxFolder LxFolder::cacheFolder() {
    return systemFolder(platform::cacheHome());
}

LxFolder LxFolder::tmpFolder() {
    return systemFolder(platform::privateTemporaryFolder());
}

LxFile LxFolder::temporaryFile(std::optional<std::string_view> fileExtension) {
    std::string name = LxUniqueIdentifier::shared().uuidString();
    if (fileExtension && !fileExtension->empty()) {
        if (fileExtension->front() != '.') {
            name += '.';
        }
        name += *fileExtension;
    }
    return tmpFolder().file(name);
}
