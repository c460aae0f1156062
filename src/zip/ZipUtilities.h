#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The list of files that LxZip::zipFiles() packs, each with its name in the archive.
//
// A plain file (or a path where nothing is) is named by its last path component; a folder is
// replaced by every non-folder item below it, hidden ones included, named "<folder name>/<path
// below the folder>" and sorted by that name, so the same folder always gives the same archive.
// Folders give no entry of their own. Nothing is opened or checked beyond asking what a path is
// and listing folders; a folder, or any folder below it, that cannot be listed throws
// LxZipError::zipFail() (with a warning naming it), never a list with a part missing.
//
// Example:
//   ZipUtilities().collectFilePaths({"/w/project.moc", "/w/pack"});
//   // {"/w/project.moc", "project.moc"}, {"/w/pack/a.txt", "pack/a.txt"}, ...
class ZipUtilities {
public:
    struct ProcessedFilePath {
        std::filesystem::path filePathURL;
        std::optional<std::string> fileName;

        bool operator==(const ProcessedFilePath&) const = default;
    };

    // Every file names its folder in its entry; kept for callers that ask, read by nothing.
    bool includeRootDirectory = true;

    std::vector<ProcessedFilePath> collectFilePaths(
        const std::vector<std::filesystem::path>& paths) const;

    // The files below `folder`; throws LxZipError::zipFail() when it or a folder below it
    // cannot be listed.
    std::vector<ProcessedFilePath> expandDirectory(const std::filesystem::path& folder) const;
};
