#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <sys/wait.h>
#include <vector>
#include <zlib.h>

#include "support/FileTestHelpers.h"

// Helpers for the archive tests: archives written byte by byte, so that a test can say exactly
// what a hostile or damaged archive holds, and the independent tools that check ours.
namespace zip_test {

// One entry of a crafted archive; the defaults make a well-formed stored file.
struct CraftedEntry {
    std::string name;
    std::string data = {};
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    // The Unix mode goes in the upper 16 bits.
    std::uint32_t externalAttributes = 0;
    // Stored in both headers in place of the CRC-32 of `data` / the length of `data`.
    std::optional<std::uint32_t> crc = std::nullopt;
    std::optional<std::uint32_t> uncompressedSize = std::nullopt;
    // Points the central record at this offset instead of a local header of the entry's own,
    // which is then not written: how entries that share bytes are made.
    std::optional<std::uint32_t> directoryOffset = std::nullopt;
};

namespace internal {

inline void put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

inline void put32(std::string& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

}  // namespace internal

// `data` deflated the way zip entries hold it: raw, without zlib's header and checksum.
inline std::string rawDeflated(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// The bytes of a zip archive holding `entries` as given, names and all.
inline std::string craftedArchive(const std::vector<CraftedEntry>& entries) {
    using internal::put16;
    using internal::put32;
    std::string archive;
    std::string directory;
    for (const CraftedEntry& entry : entries) {
        const auto offset = static_cast<std::uint32_t>(archive.size());
        const std::uint32_t crc = entry.crc.value_or(
            static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()),
                                             static_cast<uInt>(entry.data.size()))));
        const auto size = static_cast<std::uint32_t>(entry.data.size());
        const std::uint32_t uncompressed = entry.uncompressedSize.value_or(size);

        std::string fields;  // from "version needed" to the name length, alike in both headers
        put16(fields, 20);
        put16(fields, entry.flags);
        put16(fields, entry.method);
        put16(fields, 0);       // 00:00:00
        put16(fields, 0x0021);  // 1980-01-01
        put32(fields, crc);
        put32(fields, size);
        put32(fields, uncompressed);
        put16(fields, static_cast<std::uint32_t>(entry.name.size()));
        put16(fields, 0);  // extra field length

        if (!entry.directoryOffset) {
            put32(archive, 0x04034b50);
            archive += fields + entry.name + entry.data;
        }

        put32(directory, 0x02014b50);
        put16(directory, 0x031E);  // made by Unix, version 3.0
        directory += fields;
        put16(directory, 0);  // comment length
        put16(directory, 0);  // disk
        put16(directory, 0);  // internal attributes
        put32(directory, entry.externalAttributes);
        put32(directory, entry.directoryOffset.value_or(offset));
        directory += entry.name;
    }
    const auto directoryOffset = static_cast<std::uint32_t>(archive.size());
    archive += directory;
    put32(archive, 0x06054b50);
    put16(archive, 0);
    put16(archive, 0);
    put16(archive, static_cast<std::uint32_t>(entries.size()));
    put16(archive, static_cast<std::uint32_t>(entries.size()));
    put32(archive, static_cast<std::uint32_t>(directory.size()));
    put32(archive, directoryOffset);
    put16(archive, 0);
    return archive;
}

// The local header and data of a stored entry, as craftedArchive() writes them.
inline std::string localRecord(const CraftedEntry& entry) {
    const std::string archive = craftedArchive({entry});
    return archive.substr(0, 30 + entry.name.size() + entry.data.size());
}

inline std::filesystem::path writeArchive(const std::filesystem::path& path,
                                          const std::vector<CraftedEntry>& entries) {
    return test_files::put(path, craftedArchive(entries));
}

// Debian's own interpreter, the one the project's dependencies install; a version manager's
// shim earlier on the PATH can take half a second to start.
inline constexpr const char* kPython = "/usr/bin/python3";

struct CommandResult {
    int exitCode = -1;
    std::string output;
};

// Runs a shell command, standard error folded into the output.
inline CommandResult run(const std::string& command) {
    CommandResult result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.output.append(buffer, count);
    }
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

// Every regular file below `folder` as "relative/path=content".
inline std::set<std::string> filesBelow(const std::filesystem::path& folder) {
    std::set<std::string> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        if (item.is_regular_file()) {
            files.insert(item.path().lexically_relative(folder).string() + "=" +
                         test_files::contentOf(item.path()));
        }
    }
    return files;
}

}  // namespace zip_test
