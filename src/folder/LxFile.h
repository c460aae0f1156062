#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/StringEncoding.h"

// One file named by its path: the parts of the path and the handful of whole-file operations
// the system needs.
//
// A plain value: making one touches nothing on disk, and the path is kept exactly as given
// (never made absolute, so an empty path never stands for the current folder). Each operation
// is one file-system call that throws platform::FileSystemError when the system refuses; none
// creates missing parent folders, replaces an existing item or logs anything. Values may be used
// on any thread.
//
// Example:
//   const LxFile plan("/tmp/work/project.moc");
//   plan.write(json);                        // atomic: the old file survives a failed write
//   plan.copy(LxFile("/tmp/out/project.moc"));   // fails if that file exists
class LxFile {
public:
    explicit LxFile(std::filesystem::path url) : _url(std::move(url)) {}

    const std::filesystem::path& url() const { return _url; }

    // The path without a trailing "/".
    std::string pathString() const;
    // "report.tar.gz" for "/tmp/a/report.tar.gz"; a trailing "/" is ignored.
    std::string fileName() const;
    // "report.tar" for "/tmp/a/report.tar.gz".
    std::string fileNameWithoutExtension() const;
    // "gz" for "/tmp/a/report.tar.gz"; "" for "noext", ".hidden" and "name.".
    std::string fileExtension() const;

    // True when anything, a folder included, is at the path; false on every failure.
    bool exists() const;

    // Copies the item to the full path `to` (not the folder to hold it), keeping its
    // modification time. Fails when anything is at `to`.
    void copy(const LxFile& to) const;
    void copy(const std::filesystem::path& to) const;

    // Moves the item to the full path `to`. Fails when anything is at `to`, leaving both as
    // they were.
    void move(const LxFile& to) const;
    void move(const std::filesystem::path& to) const;

    // Removes the item, a folder with its contents. Fails when nothing is there, and refuses
    // without touching anything the root folder and a path whose last component is "." or ".."
    // (std::errc::operation_not_permitted; see platform::isRefusedForRemoval).
    void delete_() const;

    // Writes the whole text in `encoding`, atomically: a failure leaves the old file as it was.
    // A character that `encoding` cannot hold fails with std::errc::illegal_byte_sequence.
    void write(std::string_view string,
               platform::StringEncoding encoding = platform::StringEncoding::utf8) const;

    // The whole file as text (UTF-8). Bytes that are not valid in `encoding` fail with
    // std::errc::illegal_byte_sequence.
    std::string read(platform::StringEncoding encoding = platform::StringEncoding::utf8) const;

    // Writes the bytes over the file in place; not atomic, a failure may leave a part written.
    void write(std::span<const std::uint8_t> data) const;

    // The whole file; a folder fails.
    std::vector<std::uint8_t> readData() const;

    // The value as the logs show it: LxFile(_url: file:///tmp/work/project.moc).
    std::string description() const;

    // The same path text: "a/b" and "a/b/" are different values.
    friend bool operator==(const LxFile&, const LxFile&) = default;

private:
    std::filesystem::path _url;
};

std::ostream& operator<<(std::ostream& stream, const LxFile& file);
