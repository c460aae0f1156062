#include "app/manager/TemporaryItems.h"

#include <string>
#include <utility>

#include "LxLog/Log.h"

namespace {

template <class Item>
void removeItem(const Item& item) noexcept {
    try {
        if (item.exists()) {
            item.delete_();
        }
    } catch (...) {
        try {
            Log::warning("Failed to remove the temporary item at " +
                         Log::escaped(item.pathString()));
        } catch (...) {
            // Nothing is left to report with.
        }
    }
}

// Removes its folder with its last owner.
class FolderRemoval {
public:
    explicit FolderRemoval(LxFolder folder) : folder_(std::move(folder)) {}
    ~FolderRemoval() { removeItem(folder_); }
    FolderRemoval(const FolderRemoval&) = delete;
    FolderRemoval& operator=(const FolderRemoval&) = delete;

private:
    LxFolder folder_;
};

}  // namespace

std::shared_ptr<const void> removedWhenReleased(const LxFolder& folder) {
    return std::make_shared<const FolderRemoval>(folder);
}

void removeTemporaryItem(const LxFile& file) noexcept {
    removeItem(file);
}
