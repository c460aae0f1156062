#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Project/OrbProjectTeam.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"

// The steps every OrbProject::clone shares: the new project with the source's header, placing
// copies by the source's parent-child pairs, the root with its registration, and the links
// among the copies. Only the clone operations use it.
namespace orb_clone {

using Task = OrbProject::Task;

// The copies of one clone call, by the id of their source task (which they keep). A later copy
// under an id replaces the earlier one; copies that end up nowhere in the new tree die with
// the map.
using CopyMap = std::unordered_map<std::int64_t, Task>;

// Everything one clone call works with; `function` is the name its warnings carry.
struct Frame {
    std::shared_ptr<OrbProject> target;
    Task start;
    CopyMap copies;
    std::string_view function;

    // A copy of `task` for the target; entered into the map when `enter`.
    Task copy(const Task& task, bool enter = true);
    Task copied(const Task& task) const { return copiedById(task->id()); }
    Task copiedById(std::int64_t taskId) const;

    // Places `child` below `parent` in the target tree, unless that would make `child` hold
    // itself (a source repeating an id maps two tasks to one copy).
    static void attach(const Task& parent, const Task& child);

    // The clone-incorrect warning for a pair of source tasks.
    void warnNotCloned(const Task& parent, const Task& child) const;

    // For every parent-child pair below the start task, in pre-order: the child's copy below
    // the parent's copy when both were copied, else the clone-incorrect warning.
    void attachByPairs();

    // Makes the start task's copy (or, with a warning, a fresh one when there is none) the
    // target's root without a parent, registers its subtree and rebuilds the links among the
    // copies, walking the start task's subtree with or without the start task itself.
    std::shared_ptr<OrbProject> finish(bool linksIncludeStart, const Task& rootCopy = nullptr);
};

// Steps 1 to 3 of every clone: a project with a fresh uid and version, the source's header
// (the setters' clamps apply), `team`, a copy of the source's calendar, and the start task
// (`fromRootTask`, else the source's root).
Frame begin(const OrbProject& source, const Task& fromRootTask, std::string projectName,
            std::shared_ptr<OrbProjectTeam> team, std::string_view function);

}  // namespace orb_clone
