// The accepted archive extensions and the quick operations on the user's Documents folder.
#include <exception>
#include <mutex>
#include <set>
#include <system_error>

#include "LxLog/Log.h"
#include "folder/LxFolder.h"
#include "platform/foundation/FilePath.h"
#include "zip/LxZip.h"

namespace {

namespace fs = std::filesystem;

// The set is the process's, and callers on several threads may add, remove and ask at once.
class CustomFileExtensions {
public:
    static CustomFileExtensions& shared() {
        static CustomFileExtensions extensions;
        return extensions;
    }

    void add(const std::string& extension) {
        const std::lock_guard lock(mutex_);
        extensions_.insert(extension);
    }

    void remove(const std::string& extension) {
        const std::lock_guard lock(mutex_);
        extensions_.erase(extension);
    }

    bool contains(const std::string& extension) const {
        const std::lock_guard lock(mutex_);
        return extensions_.contains(extension);
    }

private:
    mutable std::mutex mutex_;
    std::set<std::string> extensions_;
};

// Every occurrence of "." + extension, anywhere in the name, goes.
std::string folderNameFor(const fs::path& zipFilePath) {
    std::string name = platform::lastPathComponent(zipFilePath);
    const std::string removed = "." + platform::pathExtension(zipFilePath);
    for (std::size_t at = name.find(removed); at != std::string::npos;
         at = name.find(removed, at)) {
        name.erase(at, removed.size());
    }
    return name;
}

// "...zip" would otherwise unpack over the home folder, and ".." or "" straight into Documents,
// both replacing whatever files are there.
bool isOneNewFolder(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// A symbolic link (or a file) already at the destination's name would have the files written
// wherever it points, outside the Documents folder; only a real folder there is reused.
bool isRealFolderOrNothing(const fs::path& destination) {
    std::error_code error;
    // Without the folder form's trailing "/", which would follow a link to what it points to.
    const fs::file_status status =
        fs::symlink_status(platform::pathWithoutTrailingSeparators(destination), error);
    return status.type() == fs::file_type::not_found || status.type() == fs::file_type::directory;
}

}  // namespace

void LxZip::addCustomFileExtension(const std::string& fileExtension) {
    CustomFileExtensions::shared().add(fileExtension);
}

void LxZip::removeCustomFileExtension(const std::string& fileExtension) {
    CustomFileExtensions::shared().remove(fileExtension);
}

bool LxZip::isValidFileExtension(const std::string& fileExtension) {
    return fileExtension == "zip" || fileExtension == "cbz" ||
           CustomFileExtensions::shared().contains(fileExtension);
}

fs::path LxZip::quickUnzipFile(const fs::path& zipFilePath, const ProgressHandler& progress) {
    const std::string folderName = folderNameFor(zipFilePath);
    if (!isOneNewFolder(folderName)) {
        Log::warning("Refusing to unpack \"" + Log::escaped(zipFilePath.string()) +
                     "\": its name gives no folder of its own");
        throw LxZipError::unzipFail();
    }
    const fs::path destination = LxFolder::documentFolder().child(folderName, false).url();
    if (!isRealFolderOrNothing(destination)) {
        Log::warning("Refusing to unpack \"" + Log::escaped(zipFilePath.string()) + "\": \"" +
                     Log::escaped(destination.string()) + "\" is not a folder of its own");
        throw LxZipError::unzipFail();
    }
    // The caller asked for one kind of failure, whatever the cause.
    try {
        unzipFile(zipFilePath, destination, true, std::nullopt, progress);
    } catch (const std::exception&) {
        throw LxZipError::unzipFail();
    }
    return destination;
}

fs::path LxZip::quickZipFiles(const std::vector<fs::path>& paths, const std::string& fileName,
                              const ProgressHandler& progress) {
    const LxFolder documents = LxFolder::documentFolder();
    // A desktop without a Documents folder yet still gets the archive where it was asked for.
    std::error_code ignored;
    fs::create_directories(documents.url(), ignored);
    const fs::path archive = documents.file(fileName + ".zip").url();
    zipFiles(paths, archive, std::nullopt, LxZipCompression::DefaultCompression, progress);
    return archive;
}
