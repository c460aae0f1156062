#pragma once

#include <zip.h>

#include "platform/foundation/Date.h"

namespace zip_internal {

// The local wall-clock time an entry records for `date`, in the current calendar and time
// zone. The format counts years from 1980 to 2107 only; dates outside are pinned to its first
// and last moments instead of wrapping into nonsense.
tm_zip zipEntryTime(platform::Date date);

}  // namespace zip_internal
