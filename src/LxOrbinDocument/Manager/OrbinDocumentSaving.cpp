// Saving a project into its working folder and packing the folder into a package.
//
// The package is flat: every entry is named by its file's own name, "project.moc" and
// "<id>.jpg", because the opening road looks only at the top of the archive and files each
// image back by the id the document gives it.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "LxLog/ErrorLogging.h"
#include "LxLog/Log.h"
#include "LxOrbinDocument/Manager/OrbinDocumentManager.h"
#include "LxOrbinDocument/Manager/ProjectWorkingFolder.h"
#include "LxOrbinDocument/Manager/internal/PackageImages.h"
#include "LxOrbinDocument/Mapper/ProjectDocumentText.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "platform/foundation/AnyError.h"
#include "platform/foundation/AtomicFile.h"
#include "zip/LxZip.h"

namespace {

using WorkingFolder = OrbinDocumentManager::ProjectWorkingFolder;

std::string inQuotes(std::string_view text) {
    std::string result = "\"";
    result += text;
    result += '"';
    return result;
}

std::string saveFailureLine(std::string_view name, const LxFile& jsonFile) {
    return "Failed to save project " + inQuotes(Log::escaped(name)) +
           " to json file: " + inQuotes(jsonFile.description());
}

// Room for the text about to replace `jsonFile`: the earlier text of the project with an
// eighth to spare, so that a grown plan is written without the text being moved. Room never
// written takes no memory.
std::size_t expectedTextSize(const LxFile& jsonFile) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(jsonFile.url(), error);
    return error ? 0 : static_cast<std::size_t>(size + size / 8);
}

// Writes the working copy of the document, as it is: the encoder writes only well-formed UTF-8.
// It lives in the project's working folder, which a crash of the machine loses anyway, so it is
// not flushed to the disk (the package is).
void writeWorkingCopy(const LxFile& jsonFile, std::string_view text) {
    platform::AtomicFileWriter file(jsonFile.url());
    file.write(text);
    file.commit(platform::AtomicFileWriter::Durability::unflushed);
}

}  // namespace

void OrbinDocumentManager::saveProject(const OrbProject& project, const LxFolder& folder) const {
    const LxFile jsonFile = WorkingFolder(folder).jsonFile();
    if (const std::optional<std::string> text =
            projectDocumentText(project, expectedTextSize(jsonFile))) {
        try {
            writeWorkingCopy(jsonFile, *text);
            return;
        } catch (...) {
            lx::log(platform::AnyError::current(),
                    "Failed to save project to file " + Log::escaped(jsonFile.pathString()));
        }
    } else {
        // An older document left in place would be packed as if it were this project's.
        try {
            if (jsonFile.exists()) {
                jsonFile.delete_();
            }
        } catch (...) {
            // The failure below is what the caller hears of.
        }
    }
    Log::error(saveFailureLine(project.name(), jsonFile));
    throw OrbinDocumentError::SaveError();
}

void OrbinDocumentManager::orbFile(const OrbProject& project, const LxFolder& folder,
                                   const LxFile& file) const {
    const WorkingFolder working(folder);
    const LxFile jsonFile = working.jsonFile();
    if (!jsonFile.exists()) {
        Log::error("Failed to save project " + inQuotes(Log::escaped(project.name())) +
                   " because the json file does not exist");
        throw OrbinDocumentError::SaveError();
    }
    try {
        std::vector<ZipItem> items{{jsonFile.pathString(), "project.moc"}};
        const auto append = [&](const LxFolder& source, const std::optional<std::string>& imageId,
                                std::string_view logSeed) {
            if (imageId) {
                if (auto item =
                        _copyImageFileFromWorkingFolderToOrbFile(source, *imageId, logSeed)) {
                    items.push_back(std::move(*item));
                }
            }
        };
        // A copy of the list, taken under the team's lock; the images are looked up after it.
        for (const auto& member : project.team()->members()) {
            append(working.photoFolder(), member->photoid(), "photo");
        }
        append(working.tileCoverImageFolder(), project.imageId(), "tile cover image");
        append(working.pdfBannerFolder(), project.pdfBannerImageId(), "pdf banner image");

        // The archive is written beside `file` and renamed over it once complete, so an older
        // package is replaced whole and survives a failed pack; it is not removed beforehand.
        // A package reaches the user only as a copy that is read back as it is made; reading
        // it back here too would read every byte twice.
        std::vector<std::filesystem::path> paths;
        paths.reserve(items.size());
        for (const ZipItem& item : items) {
            paths.emplace_back(item.path);
        }
        LxZip::zipFiles(paths, file.url(), std::nullopt, LxZipCompression::DefaultCompression, {},
                        LxZip::ReadBack::byReceiver);
    } catch (...) {
        lx::log(platform::AnyError::current(), "Failed to save project " +
                                                   inQuotes(Log::escaped(project.name())) +
                                                   " as .orb file, with error");
        throw OrbinDocumentError::SaveError();
    }
}

std::optional<std::string> OrbinDocumentManager::jsonString(const OrbProject& project,
                                                            bool /*prettyPrint*/) const {
    return projectDocumentText(project);
}

std::optional<OrbinDocumentManager::ZipItem>
OrbinDocumentManager::_copyImageFileFromWorkingFolderToOrbFile(const LxFolder& sourceFolder,
                                                               const std::string& imageId,
                                                               std::string_view logSeed) const {
    if (!lx::internal::isPackageImageId(imageId, logSeed)) {
        return std::nullopt;
    }
    std::string name = imageId + ".jpg";
    const LxFile jpeg = sourceFolder.file(name);
    if (lx::internal::isRegularFile(jpeg) ||
        lx::internal::convertPngToJpeg(sourceFolder.file(imageId + ".png"), jpeg)) {
        return ZipItem{jpeg.pathString(), std::move(name)};
    }
    Log::warning(std::string(logSeed) + " [" + Log::escaped(imageId) +
                 "] is not exist in the project working directory");
    return std::nullopt;
}
