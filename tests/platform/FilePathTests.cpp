#include <string>

#include <gtest/gtest.h>

#include "platform/foundation/FilePath.h"

namespace {

TEST(FilePath, PartsOfALastName) {
    struct Case {
        const char* path;
        const char* lastComponent;
        const char* extension;
        const char* withoutExtension;
    };
    const Case cases[] = {
        {"/tmp/a/report.tar.gz", "report.tar.gz", "gz", "/tmp/a/report.tar"},
        {"noext", "noext", "", "noext"},
        {"/tmp/dir/", "dir", "", "/tmp/dir/"},
        {"/tmp/dir.d//", "dir.d", "d", "/tmp/dir/"},
        {"/tmp/.hidden", ".hidden", "", "/tmp/.hidden"},
        {"/tmp/.hidden.txt", ".hidden.txt", "txt", "/tmp/.hidden"},
        {"/tmp/name.", "name.", "", "/tmp/name."},
        {"/tmp/..", "..", "", "/tmp/.."},
        {"/tmp.d/plain", "plain", "", "/tmp.d/plain"},
        {"a//b.c", "b.c", "c", "a//b"},
        {"/", "/", "", "/"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(platform::lastPathComponent(c.path), c.lastComponent);
        EXPECT_EQ(platform::pathExtension(c.path), c.extension);
        EXPECT_EQ(platform::deletingPathExtension(c.path).native(), c.withoutExtension);
    }
}

TEST(FilePath, AppendedNamesStayInsideTheBase) {
    struct Case {
        const char* base;
        const char* name;
        bool isDirectory;
        const char* expected;
    };
    const Case cases[] = {
        {"/work/", "project.moc", false, "/work/project.moc"},
        {"/work", "Photo", true, "/work/Photo/"},
        {"/work/", "/etc/passwd", false, "/work/etc/passwd"},
        {"/work/", "../../etc/passwd", false, "/work/etc/passwd"},
        {"/work/", "a/../../b", false, "/work/b"},
        {"/work/", "a/./b//c", false, "/work/a/b/c"},
        {"/work/", "..", false, "/work/"},
        {"/work/", "", true, "/work/"},
        {"/work/", "UUID..orb", false, "/work/UUID..orb"},
        {"", "/abs", false, "abs"},
        {"", "x", true, "x/"},
        {"/", "x", false, "/x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.base) + " + " + c.name);
        EXPECT_EQ(platform::appendingPathComponent(c.base, c.name, c.isDirectory).native(),
                  c.expected);
    }
}

TEST(FilePath, TrailingSeparatorsAreDroppedExceptForTheRoot) {
    EXPECT_EQ(platform::pathWithoutTrailingSeparators("/tmp/dir//"), "/tmp/dir");
    EXPECT_EQ(platform::pathWithoutTrailingSeparators("//"), "/");
    EXPECT_EQ(platform::pathWithoutTrailingSeparators("a/b"), "a/b");
}

TEST(FilePath, FileURLIsAbsoluteAndPercentEncoded) {
    EXPECT_EQ(platform::fileURLString("/tmp/my plan #1/project.moc"),
              "file:///tmp/my%20plan%20%231/project.moc");
    EXPECT_EQ(platform::fileURLString("/tmp/Gr\xC3\xBC\xC3\x9F"
                                      "e/"),
              "file:///tmp/Gr%C3%BC%C3%9Fe/");
    const std::string relative = platform::fileURLString("project.moc");
    EXPECT_EQ(relative.rfind("file:///", 0), 0u);
    EXPECT_EQ(relative.substr(relative.size() - 12), "/project.moc");
}

}  // namespace
