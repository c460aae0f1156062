#pragma once

#include <string_view>

#include "folder/LxFile.h"
#include "folder/LxFolder.h"

// Removes a file or folder of our own when it is there, for clean-ups that must not fail their
// caller: a removal that fails is logged as a warning, `failureLine` followed by the item's
// path, and the item is left. Never throws.
//
// Example:
//   deleteIfPresent(unzipFolder, "Failed to remove unzip cache folder at ");
void deleteIfPresent(const LxFile& file, std::string_view failureLine) noexcept;
void deleteIfPresent(const LxFolder& folder, std::string_view failureLine) noexcept;
