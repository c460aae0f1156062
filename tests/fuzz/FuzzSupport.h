#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

#include "LxLog/Log.h"
#include "platform/foundation/DateContext.h"

// What every fuzz target shares: a scratch folder of its own process, a pinned time zone and
// locale, and a log that goes nowhere (a line per input would slow the fuzzer to a crawl).
namespace fuzz {

inline const std::filesystem::path& scratch() {
    static const std::filesystem::path folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern =
            std::string(base != nullptr && *base == '/' ? base : "/tmp") + "/orbin-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        return std::filesystem::path(pattern);
    }();
    return folder;
}

inline void setUp() {
    ::setenv("TZ", "UTC", 1);
    platform::setCurrentTimeZoneAndLocale("UTC", "en_US");
    Log::setSinkForTesting([](std::string_view) {});
}

inline std::filesystem::path put(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Stops the run as a finding, with what the fuzzer needs to show.
[[noreturn]] inline void finding(const std::string& what) {
    std::fprintf(stderr, "FINDING: %s\n", what.c_str());
    std::abort();
}

}  // namespace fuzz
