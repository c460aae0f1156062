#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "LxOrbinDocument/Manager/OrbinDocumentError.h"
#include "folder/LxFile.h"
#include "folder/LxFolder.h"

class OrbProject;
struct JsonProject;

// The package operations on project documents: opening a project package (a flat zip archive of
// "project.moc" and the "<id>.jpg" images the document names) into a working folder, and saving
// a project back into one. The working folder's layout is ProjectWorkingFolder's.
//
// Stateless: any number may exist and be used from several threads at once, as long as no two
// calls share a working folder or a package file. Each operation runs wholly on the caller's
// thread. A failure that stops an operation is logged once at error level and thrown as an
// OrbinDocumentError; nothing else is thrown. An image that cannot be copied is logged, one that
// is missing when packing is warned about, and the operation goes on.
//
// A package is untrusted: an image id that is not one plain file name ("../x", "a/b") is never
// used as a file name; that image is left out with a warning and the id stays in the document.
//
// Example:
//   const OrbinDocumentManager documents;
//   auto project = documents.load(LxFile("/drops/plan.orb"), workingFolder);
//   documents.saveProject(*project, workingFolder);
//   documents.orbFile(*project, workingFolder, LxFolder::temporaryFile("orb"));
class OrbinDocumentManager {
public:
    // The most one image entry of a package may unpack to. A camera's largest JPEG is a few
    // tens of MiB; a photo beyond this is a decompression bomb, not a member's portrait.
    static constexpr std::uint64_t kMaximumImageSize = std::uint64_t{64} << 20;
    // What all images of one package may unpack to together. A member's photo is tens to
    // hundreds of kB, so this holds thousands of them.
    static constexpr std::uint64_t kMaximumImagesSize = std::uint64_t{512} << 20;
    // An image may unpack to at most this many times the bytes it is stored in: real JPEG data
    // barely compresses (deflate saves a few percent), while a bomb's filler shrinks a
    // thousandfold. Images up to kImageSizeFreeOfInflationBound are exempt: a small, nearly
    // blank picture compresses well and can do no harm.
    static constexpr std::uint64_t kMaximumImageInflation = 8;
    static constexpr std::uint64_t kImageSizeFreeOfInflationBound = std::uint64_t{1} << 20;

    // The places of one project's working folder (ProjectWorkingFolder.h).
    class ProjectWorkingFolder;

    // Opens the package `file` into the working folder `folder` and answers its project (never
    // null). `folder` must exist and hold no "project.moc"; afterwards it holds the document,
    // "Photo" with the member photos when the document lists members, and the tile cover and
    // PDF banner images, a PNG-only image converted to JPEG. The archive is unpacked into a
    // fresh folder under the temporary folder, which is removed again whatever happens.
    //
    // Every entry is bounded while it is unpacked: the document ("project.moc" at the top level,
    // "./project.moc" too) by the document reader's limit, any other by kMaximumImageSize and by
    // kMaximumImageInflation, and all others together by kMaximumImagesSize; a package beyond a
    // bound, or one whose entries overlap, is refused and leaves nothing behind.
    //
    // Throws FileNotExist, InvalidFileFormat (not an archive, or one that cannot be unpacked
    // safely or within its bounds), InvalidFileContent (no "project.moc" at the top level),
    // InvalidJson, OpenError (the document cannot be copied into `folder`) or InvalidProjectData
    // (no "Uid"; `folder` is filled all the same).
    std::shared_ptr<OrbProject> load(const LxFile& file, const LxFolder& folder) const;

    // Writes the project's document as "project.moc" into `folder` (which must exist),
    // replacing an older one whole. Throws SaveError; a document that cannot be written at all
    // (a value it cannot hold) also removes an older "project.moc".
    void saveProject(const OrbProject& project, const LxFolder& folder) const;

    // Packs "project.moc", the member photos in team order, the tile cover and the PDF banner
    // from `folder` into the package `file`, each under its bare name ("project.moc",
    // "<id>.jpg"). A PNG-only image is converted to "<id>.jpg" in `folder` first; a missing one
    // is left out with a warning. `file` is replaced only by a complete package. The package is
    // not read back: it is a working copy, and whoever hands it on checks the copy made of it
    // (LxZip::verifiedEntries) before that counts as saved. Throws SaveError: without
    // "project.moc" in `folder` (nothing touched) or when the package cannot be written (any
    // earlier `file` kept as it was).
    void orbFile(const OrbProject& project, const LxFolder& folder, const LxFile& file) const;

    // The project's document text, always pretty-printed whatever `prettyPrint` says; none
    // when the document cannot be written. Logs and throws nothing.
    std::optional<std::string> jsonString(const OrbProject& project, bool prettyPrint) const;

private:
    // One file to pack: its path in the working folder and its name in the package.
    struct ZipItem {
        std::string path;
        std::string name;
    };

    // Unpacks `file`, reads its document and fills `workingFolder` from it.
    JsonProject _jsonProject(const LxFile& file, const LxFolder& workingFolder) const;
    // The unpacked steps of _jsonProject, with the unzip folder named.
    JsonProject _jsonProjectFromUnzipFolder(const LxFile& file, const LxFolder& unzipFolder,
                                            const LxFolder& workingFolder) const;
    // Copies "<imageId>.jpg" of `sourceFolder` to `workingFile`, or converts "<imageId>.png"
    // into it; logs a failed copy, passes over a missing image.
    void _copyImageFromUnzipFolderToWorkingFolder(const LxFolder& sourceFolder,
                                                  const std::string& imageId,
                                                  const LxFile& workingFile,
                                                  std::string_view logSeed) const;

    // "<imageId>.jpg" of `sourceFolder`, made from "<imageId>.png" when only that exists.
    std::optional<ZipItem> _copyImageFileFromWorkingFolderToOrbFile(const LxFolder& sourceFolder,
                                                                    const std::string& imageId,
                                                                    std::string_view logSeed) const;
};
