#include "app/manager/SourceOutline.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "utility/LxTreeNode.h"

// Iterative: the depth of a tree read from a file is the file's to choose.
std::int64_t outlineDepthOf(const std::shared_ptr<OrbProjectTask>& root) {
    std::int64_t deepest = 0;
    std::vector<std::pair<const OrbProjectTask*, std::int64_t>> pending{{root.get(), 0}};
    while (!pending.empty()) {
        const auto [task, level] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, level);
        const bool counted =
            task == root.get() || task->innerType() == ProjectTaskInnerType::common;
        if (counted && task->hasChilds()) {
            for (const auto& child : *task->childs()) {
                pending.emplace_back(child.get(), level + 1);
            }
        }
    }
    return deepest;
}

bool includesSubProject(const std::shared_ptr<OrbProjectTask>& root) {
    return static_cast<bool>(lx::treeSearch(
        root, false,
        [](const std::shared_ptr<OrbProjectTask>& task) { return task->isSubProjectTask(); }));
}
