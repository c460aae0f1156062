#pragma once

#include <optional>
#include <string>

#include "platform/foundation/Date.h"

// File operations by path that answer false or none instead of failing: nothing here throws or
// logs, and the reason of a failure is dropped.
//
// Example:
//   const std::string name = LxFileHelper::creatingLegalFileName("Q3/Q4 plan?");  // "Q3_Q4 plan_"
//   if (!LxFileHelper::copy(draft, backup)) { ... }   // also false when `backup` exists
struct LxFileHelper {
    // `source` with each of / \ ? % * | " < > replaced by one "_"; everything else kept.
    static std::string creatingLegalFileName(const std::string& source);

    // False for a blank path, without asking the file system; a symbolic link counts by its
    // target.
    static bool exists(const std::string& at);

    // Removes the file or folder (with everything inside) at the path. False, without touching
    // the file system, for a blank path and for one platform::removeItem refuses (the root, a
    // last component "." or ".."), and false on any failure.
    static bool delete_(const std::string& atPath);

    // Copies the file or folder at `atPath` to the new path `toPath`. False on any failure, also
    // when anything is at `toPath` already (a folder is never merged into another).
    static bool copy(const std::string& atPath, const std::string& toPath);

    // The text after the last dot of the last path component; "" when there is none.
    static std::string fileExtension(const std::string& of);

    // The last path component (a trailing "/" ignored) without its extension; none for the empty
    // path.
    static std::optional<std::string> fileNameWithoutExtension(const std::string& of);

    // The modification time of the item itself (a symbolic link is not followed); none when it
    // cannot be read.
    static std::optional<platform::Date> lastUpdateDate(const std::string& of);
};
