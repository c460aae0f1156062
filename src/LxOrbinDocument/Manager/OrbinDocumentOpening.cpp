// Opening a project package into a working folder.
//
// The archive is unpacked into a folder of its own under the temporary folder and only the
// files the document names are copied out of it, so whatever else a package holds never reaches
// the working folder. That unzip folder is removed on every road, failures included: a failed
// drop must not leave a full unpacked copy behind.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "LxLog/ErrorLogging.h"
#include "LxLog/Log.h"
#include "LxOrbinDocument/Json/JsonProjectData.h"
#include "LxOrbinDocument/Manager/OrbinDocumentManager.h"
#include "LxOrbinDocument/Manager/ProjectWorkingFolder.h"
#include "LxOrbinDocument/Manager/internal/PackageImages.h"
#include "LxOrbinDocument/Mapper/DataMapService.h"
#include "folder/ItemRemoval.h"
#include "platform/dispatch/ConcurrentPerform.h"
#include "platform/foundation/AnyError.h"
#include "platform/foundation/AtomicFile.h"
#include "utility/LxUniqueIdentifier.h"
#include "zip/LxZip.h"

namespace {

using WorkingFolder = OrbinDocumentManager::ProjectWorkingFolder;

// A failed removal only wastes space in the temporary folder; the open goes on.
void removeUnzipFolder(const LxFolder& unzipFolder) noexcept {
    deleteIfPresent(unzipFolder, "Failed to remove unzip cache folder at ");
}

// Whether the entry of this name unpacks to "project.moc" at the top of the folder, which is
// where the document is looked for: "." and empty parts name no folder ("./project.moc").
bool isDocumentEntry(std::string_view name) {
    bool found = false;
    while (!name.empty()) {
        const std::size_t separator = name.find('/');
        const std::string_view part = name.substr(0, separator);
        name =
            separator == std::string_view::npos ? std::string_view() : name.substr(separator + 1);
        if (part.empty() || part == ".") {
            continue;
        }
        if (found || part != "project.moc") {
            return false;
        }
        found = true;
    }
    return found;
}

// What each entry of a package may hold: the document what the reader would read, everything
// else what an image may be, and all images together what the package's image budget leaves.
// Entries the document does not name are never copied out, but they are unpacked first, so
// they are bounded too. The document is told apart exactly as it is found, or one under a name
// the opener reads would get an image's bound.
class PackageEntryBounds {
public:
    std::optional<std::uint64_t> operator()(const LxZip::EntryDeclaration& entry) {
        if (isDocumentEntry(entry.name)) {
            return JsonProjectData::kMaximumFileSize;
        }
        using Manager = OrbinDocumentManager;
        // JPEG data barely compresses; an image many times larger than the bytes it is stored
        // in is repeated filler, whatever its name.
        const std::uint64_t inflated =
            entry.storedSize > Manager::kMaximumImageSize / Manager::kMaximumImageInflation
                ? Manager::kMaximumImageSize
                : entry.storedSize * Manager::kMaximumImageInflation;
        const std::uint64_t limit =
            std::min({Manager::kMaximumImageSize, imagesLeft_,
                      std::max(inflated, Manager::kImageSizeFreeOfInflationBound)});
        imagesLeft_ -= std::min(imagesLeft_, entry.size);
        return limit;
    }

private:
    std::uint64_t imagesLeft_ = OrbinDocumentManager::kMaximumImagesSize;
};

// Writes the document's bytes as unpacked into the unzip folder, from where they are moved into
// the working folder once they have read as a document. Like the unpacked images, the file is
// not flushed: the working folder does not outlive the machine. False when it cannot be written.
bool writeUnzippedDocument(const LxFile& unzipped, std::string_view text) noexcept {
    try {
        platform::AtomicFileWriter writer(unzipped.url());
        writer.write(text);
        writer.commit(platform::AtomicFileWriter::Durability::unflushed);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace

std::shared_ptr<OrbProject> OrbinDocumentManager::load(const LxFile& file,
                                                       const LxFolder& folder) const {
    try {
        const JsonProject document = _jsonProject(file, folder);
        std::shared_ptr<OrbProject> project;
        try {
            project = DataMapService::map(document);
        } catch (...) {
            project = nullptr;
        }
        if (!project) {
            Log::error("Failed to convert from json project object:" +
                       Log::escaped(file.pathString()));
            throw OrbinDocumentError::InvalidProjectData();
        }
        return project;
    } catch (const OrbinDocumentError&) {
        throw;
    } catch (...) {
        // Every step guards its own calls; only running out of memory between them gets here.
        lx::log(platform::AnyError::current(),
                "Failed to open the .orb file \"" + Log::escaped(file.pathString()) + "\"");
        throw OrbinDocumentError::OpenError();
    }
}

JsonProject OrbinDocumentManager::_jsonProject(const LxFile& file,
                                               const LxFolder& workingFolder) const {
    if (!file.exists()) {
        Log::error(".orb file loading failed as the file does not exist:" +
                   Log::escaped(file.pathString()));
        throw OrbinDocumentError::FileNotExist();
    }
    std::optional<LxFolder> unzipFolder;
    try {
        unzipFolder = LxFolder::tmpFolder().child(LxUniqueIdentifier::shared().uuidString(), false);
    } catch (...) {
        lx::log(platform::AnyError::current(),
                "Failed to unzip the .orb file \"" + Log::escaped(file.pathString()) + "\"");
        throw OrbinDocumentError::InvalidFileFormat();
    }
    try {
        JsonProject document = _jsonProjectFromUnzipFolder(file, *unzipFolder, workingFolder);
        removeUnzipFolder(*unzipFolder);
        return document;
    } catch (...) {
        removeUnzipFolder(*unzipFolder);
        throw;
    }
}

JsonProject OrbinDocumentManager::_jsonProjectFromUnzipFolder(const LxFile& file,
                                                              const LxFolder& unzipFolder,
                                                              const LxFolder& workingFolder) const {
    // The document's bytes are kept as they are unpacked rather than written, and read from
    // memory while they are written out beside the rest: a large plan's document takes seconds
    // to reach the disk.
    std::optional<std::string> documentText;
    try {
        LxZip::unzipFile(file.url(), unzipFolder.url(), true, std::nullopt, {}, {},
                         PackageEntryBounds(), [&documentText](const std::string& name) {
                             return isDocumentEntry(name) ? &documentText.emplace() : nullptr;
                         });
    } catch (...) {
        lx::log(platform::AnyError::current(),
                "Failed to unzip the .orb file \"" + Log::escaped(file.pathString()) + "\"");
        throw OrbinDocumentError::InvalidFileFormat();
    }
    if (!documentText) {
        Log::error("Failed to load project as there is no json file in teh zip file:" +
                   Log::escaped(file.pathString()));
        throw OrbinDocumentError::InvalidFileContent();
    }

    const LxFile unzippedJsonFile = unzipFolder.file("project.moc");
    std::optional<JsonProjectData> data;
    bool written = false;
    platform::dispatch::concurrentPerform(2, [&](std::size_t part) {
        if (part == 0) {
            written = writeUnzippedDocument(unzippedJsonFile, *documentText);
            return;
        }
        try {
            data = JsonProjectData::fromText(*documentText);
        } catch (...) {
            data.reset();
        }
    });
    documentText.reset();
    if (!data || !data->_data) {
        Log::error("Failed to pharse project json file:" + Log::escaped(file.pathString()));
        throw OrbinDocumentError::InvalidJson();
    }
    JsonProject document = std::move(*data->_data);

    const auto copyFailure = [&file] {
        Log::error("Failed to copy the json file when opening project at:" +
                   Log::escaped(file.pathString()));
        return OrbinDocumentError::OpenError();
    };
    if (!written) {
        throw copyFailure();
    }
    const WorkingFolder working(workingFolder);
    try {
        // Moved, not copied: the unzip folder goes anyway, and a large plan's document is
        // hundreds of megabytes (across file systems the move copies).
        unzippedJsonFile.move(working.jsonFile());
    } catch (...) {
        throw copyFailure();
    }

    // An empty member list still gets its (empty) photo folder, as the package's writer expects.
    if (document.peoples) {
        working.photoFolder().createIfNotExist();
        for (const JsonPeople& people : *document.peoples) {
            if (people.photoId && lx::internal::isPackageImageId(*people.photoId, "photo")) {
                _copyImageFromUnzipFolderToWorkingFolder(
                    unzipFolder, *people.photoId, working.photoFile(*people.photoId), "photo");
            }
        }
    }
    if (document.imageId && lx::internal::isPackageImageId(*document.imageId, "tile cover image")) {
        _copyImageFromUnzipFolderToWorkingFolder(unzipFolder, *document.imageId,
                                                 working.tileCoverImageFile(*document.imageId),
                                                 "tile cover image");
    }
    if (document.pdfBannerImageId &&
        lx::internal::isPackageImageId(*document.pdfBannerImageId, "pdf banner image")) {
        _copyImageFromUnzipFolderToWorkingFolder(unzipFolder, *document.pdfBannerImageId,
                                                 working.pdfBannerFile(*document.pdfBannerImageId),
                                                 "pdf banner image");
    }
    return document;
}

// A second image of the same id fails to copy (the first is in place) and is only logged; a
// missing image, an undecodable PNG or a failed conversion are passed over without a line.
void OrbinDocumentManager::_copyImageFromUnzipFolderToWorkingFolder(
    const LxFolder& sourceFolder, const std::string& imageId, const LxFile& workingFile,
    std::string_view logSeed) const {
    const LxFile jpeg = sourceFolder.file(imageId + ".jpg");
    if (lx::internal::isRegularFile(jpeg)) {
        try {
            jpeg.copy(workingFile);
        } catch (...) {
            Log::error("Failed to copy " + std::string(logSeed) + " of " + Log::escaped(imageId) +
                       " as " +
                       Log::escaped(platform::localizedDescription(std::current_exception())));
        }
        return;
    }
    lx::internal::convertPngToJpeg(sourceFolder.file(imageId + ".png"), workingFile);
}
