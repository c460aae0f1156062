#pragma once

#include <memory>

#include "folder/LxFile.h"
#include "folder/LxFolder.h"

// The engine's own items under the temporary folder, removed as soon as nothing needs them any
// more rather than at quit: a large plan's working folder holds about as much as its document,
// and the temporary folder is often kept in memory.
//
// A source's working folder is shared by every copy of the source's record: the list's, the
// output profile's and the snapshot a running combine reads. `removedWhenReleased` answers a
// handle whose last copy removes the folder, so "Clear" frees it once no combine reads it any
// more, and a load that fails frees it at once. Any thread; the removal runs on the thread that
// lets go of the last copy.
//
// A removal that fails is logged and leaves the item to the removal of the process's private
// temporary folder at quit.
//
// Example:
//   const auto removal = removedWhenReleased(workingFolder);   // folder goes with the handle
std::shared_ptr<const void> removedWhenReleased(const LxFolder& folder);

// Removes the file now, when it is there; never throws.
void removeTemporaryItem(const LxFile& file) noexcept;
