#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "zip/LxZipArchiveFile.h"
#include "zip/LxZipCompression.h"
#include "zip/LxZipError.h"

// Zip archives of files: unpacking one into a folder and packing files into a new one, over
// minizip. Both operations run wholly on the calling thread, call their callbacks on it, keep
// no state between calls and may run at the same time for different archives.
//
// An archive is untrusted input. unzipFile() writes only below its destination: an entry whose
// name is absolute, holds a ".." part or an embedded NUL is refused, symbolic-link entries are
// skipped, and each file appears under its name only once it is complete and its size and CRC
// have been checked. An archive that declares more than kMaximumUnpackedSize bytes or more than
// kMaximumEntryCount entries, or more bytes than the destination's disk has free, or whose
// entries overlap (share bytes of the file), is refused before anything is written. Encrypted
// archives are neither read nor written: this minizip cannot decrypt, and what it encrypts no
// reader can open.
//
// Example:
//   LxZip::zipFiles({work / "project.moc", work / "7.jpg"}, package, std::nullopt);
//   LxZip::unzipFile(package, unzipFolder, true, std::nullopt);
class LxZip {
public:
    using ProgressHandler = std::function<void(double fraction)>;
    using FileOutputHandler = std::function<void(const std::filesystem::path& unzippedFile)>;
    // An entry as its archive declares it: its name as unpacked ("\\" read as "/"), the bytes
    // it is stored in and the bytes it says it unpacks to.
    struct EntryDeclaration {
        const std::string& name;
        std::uint64_t storedSize;
        std::uint64_t size;
    };
    // The most bytes the entry may hold; none for no bound of its own. Asked once for each
    // entry, in the archive's order, before anything is written, so it may keep a budget that
    // the entries share.
    using EntrySizeLimit =
        std::function<std::optional<std::uint64_t>(const EntryDeclaration& entry)>;
    // Where to keep the bytes of the file entry of this name (as unpacked) instead of writing
    // them: a string of the caller's, or nullptr to write the file. A large entry the caller
    // reads anyway is then neither written only to be read back, nor written before the caller
    // can go on: it writes the bytes itself, where and when it needs them.
    using EntryKeeping = std::function<std::string*(const std::string& name)>;

    // A package is one JSON document and its JPEG images; even a project of 100,000 tasks with
    // a photo for every member stays well below these, while a zip bomb does not.
    static constexpr std::uint64_t kMaximumUnpackedSize = std::uint64_t{2} << 30;  // 2 GiB
    static constexpr std::uint64_t kMaximumEntryCount = 100'000;

    // Unpacks every entry of the archive at `zipFilePath` into `destination`, which is created
    // when missing. Folders in entry names become sub-folders ("\" counts as "/"); a file gets
    // the permissions stored with it when they allow its owner to read it (mode 0400 or more),
    // else the usual ones. An existing file is replaced when `overwrite` is true and left as it
    // was otherwise. Files unpacked before a failure stay; the destination is the caller's.
    //
    // `progress` receives the fraction of the archive's bytes done after each entry and 1.0 at
    // the end; `fileOutputHandler` the path of each entry written, folders included.
    // `entrySizeLimit` bounds entries by their declarations: one declaring more is refused before
    // anything is written, one inflating to more fails as soon as it does. `entryKeeping` is asked
    // for each file entry about to be written; the string it names is emptied and, once the
    // entry is whole and checked, holds its bytes, and no file is written for it (an entry kept
    // twice: the second). What a kept entry reserves grows with the bytes that arrive, never past
    // its declared size.
    //
    // Throws LxZipError::fileNotFound() when nothing is at `zipFilePath` (nothing is created),
    // platform::FileSystemError when its size cannot be read, and LxZipError::unzipFail() for
    // anything else: not an archive, an empty or damaged one, a refused entry, a failed write.
    static void unzipFile(const std::filesystem::path& zipFilePath,
                          const std::filesystem::path& destination, bool overwrite,
                          const std::optional<std::string>& password,
                          const ProgressHandler& progress = {},
                          const FileOutputHandler& fileOutputHandler = {},
                          const EntrySizeLimit& entrySizeLimit = {},
                          const EntryKeeping& entryKeeping = {});

    // One entry as read back from an archive.
    struct EntrySummary {
        std::string name;
        std::uint64_t size = 0;
        std::uint32_t crc = 0;

        bool operator==(const EntrySummary&) const = default;
    };

    // Reads every entry of the archive at `zipFilePath` whole and answers them in order, each
    // with its stored name, its size and the CRC-32 of its bytes, once the bytes have matched
    // the size and CRC the archive records for them. How a written archive is checked before it
    // counts as saved. Throws LxZipError::unzipFail() when the archive cannot be read whole, holds
    // no entry (minizip opens none such) or any entry does not match.
    static std::vector<EntrySummary> verifiedEntries(const std::filesystem::path& zipFilePath);

    // Who reads an archive written by zipFiles() back. `beforeRename`: zipFiles() itself, before
    // the archive replaces anything. `byReceiver`: the one who hands the archive on, with
    // verifiedEntries() on the copy it makes; for an archive written to a private temporary
    // place that only ever leaves it as such a copy, where a second read would cost a whole
    // pass over every byte and check nothing more.
    enum class ReadBack { beforeRename, byReceiver };

    // Packs the files of `paths`, deflated with their modification times, into a new archive at
    // `zipFilePath`. A file is stored under its own name at the top level, so plain files give
    // a flat archive; a folder gives every file below it under "<folder name>/<relative path>"
    // (folders themselves get no entry). The archive is written beside `zipFilePath` and only
    // renamed into place once complete and (unless `readBack` leaves it to the receiver) read
    // back whole, every entry's name, size and CRC matching what was packed: a failure leaves
    // any earlier file there as it was.
    //
    // Large files are read and deflated a few chunks at a time on several threads; the same
    // files give the same archive bytes every time.
    //
    // `progress` receives the fraction of the bytes done after each file and 1.0 at the end.
    //
    // Throws LxZipError::zipFail() when a listed item is missing, is not a regular file, cannot
    // be read or grows while it is read, when any item found below a listed folder cannot be
    // read (a folder that cannot be listed included: the warning logged names it, and no
    // archive is written), when a password is given, or when the archive cannot be written.
    static void zipFiles(const std::vector<std::filesystem::path>& paths,
                         const std::filesystem::path& zipFilePath,
                         const std::optional<std::string>& password,
                         LxZipCompression compression = LxZipCompression::DefaultCompression,
                         const ProgressHandler& progress = {},
                         ReadBack readBack = ReadBack::beforeRename);

    // --- Accepted extensions and quick operations (LxZipQuick.cpp) ---

    // The archive extensions accepted: "zip", "cbz" and those added at run time, compared
    // exactly (case counts) and without the dot. One set for the process; any thread may call.
    static void addCustomFileExtension(const std::string& fileExtension);
    static void removeCustomFileExtension(const std::string& fileExtension);
    static bool isValidFileExtension(const std::string& fileExtension);

    // Unpacks the archive, replacing existing files, into the folder of the user's Documents
    // folder named after it: its file name with every "." + extension taken out ("a.zip.b.zip"
    // -> "a.b"; with no extension every "." goes), and answers that folder. A name that would
    // not be one new folder inside Documents ("", ".", "..", as "..zip" and "...zip" give) is
    // refused before anything is written, and so is a name already taken by anything but a
    // real folder (a symbolic link there would have the files written where it points, outside
    // Documents). Every failure, a missing archive included, throws LxZipError::unzipFail().
    static std::filesystem::path quickUnzipFile(const std::filesystem::path& zipFilePath,
                                                const ProgressHandler& progress = {});

    // Packs the files as zipFiles() does into "<fileName>.zip" in the user's Documents folder
    // (made when missing), replacing an archive of that name once the new one is complete, and
    // answers its path. Throws what zipFiles() throws.
    static std::filesystem::path quickZipFiles(const std::vector<std::filesystem::path>& paths,
                                               const std::string& fileName,
                                               const ProgressHandler& progress = {});

    // --- Archives of entries held in memory (LxZipData.cpp) ---

    // Packs the entries, deflated at `compression`, in order into a new archive at
    // `zipFilePath`. An entry without bytes is left out (no entry at all, unlike an empty file
    // given to zipFiles()). As with zipFiles(), the archive is renamed into place only once
    // complete, so a failure leaves an earlier file there as it was.
    //
    // `progress` receives the fraction of all bytes packed after each entry written and 1.0 at
    // the end.
    //
    // Throws LxZipError::zipFail() when a password is given, when an entry holds 4 GiB or more
    // (more than the format's plain entries count) or its name holds a NUL, and when the archive
    // cannot be written; nothing is written in the first three cases.
    static void zipData(const std::vector<LxZipArchiveFile>& archiveFiles,
                        const std::filesystem::path& zipFilePath,
                        const std::optional<std::string>& password,
                        LxZipCompression compression = LxZipCompression::DefaultCompression,
                        const ProgressHandler& progress = {});
};
