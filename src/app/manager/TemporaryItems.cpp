#include "app/manager/TemporaryItems.h"

#include <string_view>
#include <utility>

#include "folder/ItemRemoval.h"

namespace {

constexpr std::string_view kRemovalFailure = "Failed to remove the temporary item at ";

// Removes its folder with its last owner.
class FolderRemoval {
public:
    explicit FolderRemoval(LxFolder folder) : folder_(std::move(folder)) {}
    ~FolderRemoval() { deleteIfPresent(folder_, kRemovalFailure); }
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
    deleteIfPresent(file, kRemovalFailure);
}
