#include "folder/ItemRemoval.h"

#include <string>

#include "LxLog/Log.h"

namespace {

template <class Item>
void deleteItemIfPresent(const Item& item, std::string_view failureLine) noexcept {
    try {
        if (item.exists()) {
            item.delete_();
        }
    } catch (...) {
        try {
            Log::warning(std::string(failureLine) + Log::escaped(item.pathString()));
        } catch (...) {
            // Nothing is left to report with.
        }
    }
}

}  // namespace

void deleteIfPresent(const LxFile& file, std::string_view failureLine) noexcept {
    deleteItemIfPresent(file, failureLine);
}

void deleteIfPresent(const LxFolder& folder, std::string_view failureLine) noexcept {
    deleteItemIfPresent(folder, failureLine);
}
