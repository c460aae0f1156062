#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/FileRead.h"
#include "platform/foundation/FileSystemError.h"

namespace {

namespace fs = std::filesystem;

TEST(FileRead, ReadsTheWholeFileAndRefusesFoldersAndMissingFiles) {
    const fs::path sandbox(std::getenv("TMPDIR"));
    const std::string content = std::string(200000, 'a') + std::string("\0b", 2);
    platform::writeFileAtomically(sandbox / "data.bin", content);
    EXPECT_EQ(platform::readFile(sandbox / "data.bin"), content);

    struct Row {
        const char* name;
        fs::path path;
        int code;
    };
    const Row rows[] = {
        {"folder", sandbox, EISDIR},
        {"missing", sandbox / "missing.json", ENOENT},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        try {
            static_cast<void>(platform::readFile(row.path));
            ADD_FAILURE() << "read";
        } catch (const platform::FileSystemError& error) {
            EXPECT_EQ(error.code().value(), row.code);
            EXPECT_EQ(error.path(), row.path);
        }
    }
}

}  // namespace
