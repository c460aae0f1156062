#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

#include "platform/foundation/FileSystemError.h"

// Small helpers for tests that work on files in the per-test $TMPDIR sandbox.
namespace test_files {

inline std::filesystem::path sandbox() {
    return std::getenv("TMPDIR");
}

inline std::string contentOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::filesystem::path put(const std::filesystem::path& path,
                                 const std::string& content = "content") {
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

inline int entriesIn(const std::filesystem::path& folder) {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// Fails the test unless `action` throws a platform::FileSystemError with `expected`.
inline void expectFileSystemError(const std::function<void()>& action, std::errc expected) {
    try {
        action();
        ADD_FAILURE() << "no failure";
    } catch (const platform::FileSystemError& error) {
        EXPECT_EQ(error.code(), expected) << error.localizedDescription();
    }
}

}  // namespace test_files
