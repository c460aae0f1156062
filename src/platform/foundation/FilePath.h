#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The parts of a path the way file URLs name them, over the path text as it was given: nothing
// is made absolute or normalised, and nothing touches the disk.
//
// Unlike `std::filesystem::path`, a trailing "/" only marks a folder and never makes an empty
// last component, an extension needs a dot that is neither the first nor the last character
// of the name, and an appended name always stays inside its base.
//
// Example:
//   platform::lastPathComponent("/tmp/a/dir/");              // "dir"
//   platform::pathExtension("/tmp/a/report.tar.gz");         // "gz"
//   platform::pathExtension("/tmp/.hidden");                 // ""
//   platform::appendingPathComponent("/work/", "/etc/x");    // "/work/etc/x"
//   platform::appendingPathComponent("/work/", "../x");      // "/work/x"
namespace platform {

// The path without its trailing separators; "/" stays "/".
std::string pathWithoutTrailingSeparators(const std::filesystem::path& path);

// The last name of the path, a trailing "/" ignored; "/" for the root, "" for the empty path.
std::string lastPathComponent(const std::filesystem::path& path);

// The text after the last dot of the last name, when that dot is neither its first nor its last
// character; "" otherwise (".hidden", "name.", "noext").
std::string pathExtension(const std::filesystem::path& path);

// The path with ".<pathExtension>" removed from its last name; unchanged when it has none.
std::filesystem::path deletingPathExtension(const std::filesystem::path& path);

// `base` with `name` appended below it, ending in "/" when `isDirectory`.
//
// The name is resolved within the base, never above it: a leading "/" does not make it absolute,
// "." and empty parts are dropped, and ".." drops the previous part of the name only, so no
// name reaches outside `base`. An empty base stays relative.
std::filesystem::path appendingPathComponent(const std::filesystem::path& base,
                                             std::string_view name, bool isDirectory = false);

// The path as a file URL: "file://" followed by the absolute path, percent-encoded
// ("/tmp/my plan.orb" -> "file:///tmp/my%20plan.orb"). A relative path is read from the current
// folder.
std::string fileURLString(const std::filesystem::path& path);

}  // namespace platform
