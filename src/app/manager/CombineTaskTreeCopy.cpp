// Copying a source project's task tree into the combined project, and the copy of one task.
#include "app/manager/CombineTaskTreeCopy.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "LxLog/Log.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"
#include "platform/foundation/CallSite.h"
#include "utility/LxTreeNode.h"

using Ptr = OrbProjectTask::Ptr;
using Layout = CombineOutput::SourceProjectLayoutOption;
using ProjectCache = CombineManager::CombineCache::ProjectCache;
using Categories = OrbProjectTask::OrbProjectTaskPropertyCopyingCategories;
using Category = Categories::Category;

namespace {

// The dates come from the constructor, assignments and the contact person are given to the
// combined team's members instead; everything else the copy takes as it is.
constexpr Categories kCopyCategories =
    Categories::allExcept({Category::date, Category::assignment, Category::contactor});

// The names the warnings carry, the same whatever the build calls these functions.
constexpr char kCombineProjectFunction[] =
    "_combineProject(sourceProject:projectCache:toProject:taskIdSeed:)";
constexpr char kCopyTaskFunction[] = "_copyTask(source:toTaskId:toProject:cache:)";

platform::CallSite combineProjectSite() {
    return platform::CallSite{}.withFunction(kCombineProjectFunction);
}

platform::CallSite copyTaskSite() {
    return platform::CallSite{}.withFunction(kCopyTaskFunction);
}

// Copies are found by the source task itself, not by its id: a package may repeat a task id,
// and found by id two source tasks would share one copy, which would then be attached twice
// (two child lists, or a cycle) while the other task's copy was lost.
//
// Every lookup of a combine goes through here, over a hundred thousand tasks and more, so the
// table is one flat array probed in place: no node per entry and no handle copied on a lookup.
// A source task reached twice (held in two child lists) stands for its last copy.
class CopyMap {
public:
    explicit CopyMap(std::size_t expected) {
        std::size_t capacity = 16;
        while (capacity < 2 * expected) {
            capacity *= 2;
        }
        _slots.resize(capacity);
        _shift = 64 - static_cast<unsigned>(std::countr_zero(capacity));
    }

    void set(const OrbProjectTask& source, Ptr copy) {
        std::size_t index = indexOf(&source);
        if (!_slots[index].source) {
            if (2 * (_count + 1) > _slots.size()) {
                rehash(_slots.size() * 2);
                index = indexOf(&source);
            }
            ++_count;
            _slots[index].source = &source;
        }
        _slots[index].copy = std::move(copy);
    }

    // The copy of `source`; empty when it has none.
    const Ptr& copyOf(const OrbProjectTask& source) const { return _slots[indexOf(&source)].copy; }

private:
    struct Slot {
        const OrbProjectTask* source = nullptr;
        Ptr copy;
    };

    // The slot holding `source`, or the empty one where it would go.
    std::size_t indexOf(const OrbProjectTask* source) const {
        const std::size_t mask = _slots.size() - 1;
        auto index = static_cast<std::size_t>(
            (reinterpret_cast<std::uintptr_t>(source) * 0x9E3779B97F4A7C15ULL) >> _shift);
        while (_slots[index].source && _slots[index].source != source) {
            index = (index + 1) & mask;
        }
        return index;
    }

    void rehash(std::size_t capacity) {
        std::vector<Slot> old(capacity);
        old.swap(_slots);
        _shift = 64 - static_cast<unsigned>(std::countr_zero(capacity));
        for (Slot& slot : old) {
            if (slot.source) {
                _slots[indexOf(slot.source)] = std::move(slot);
            }
        }
    }

    // At most half full: probes stay short.
    std::vector<Slot> _slots;
    unsigned _shift = 0;
    std::size_t _count = 0;
};

void warnTreeEdge(const OrbProjectTask& parent, const OrbProjectTask& child) {
    Log::warning(
        [&] {
            return "Clone incorrect, as task \"" + parent.name() + "\" or \"" + child.name() +
                   "\" not be cloned";
        },
        combineProjectSite());
}

// A copy that already has a parent is never attached again: one task in two child lists would
// be written twice, and the tree could close into a cycle.
bool canAttach(const Ptr& parentCopy, const Ptr& childCopy, const OrbProjectTask& parent,
               const OrbProjectTask& child) {
    if (!parentCopy || !childCopy || childCopy->parent()) {
        warnTreeEdge(parent, child);
        return false;
    }
    return true;
}

void attach(OrbProject& project, const Ptr& parentCopy, const Ptr& childCopy,
            const OrbProjectTask& parent, const OrbProjectTask& child) {
    if (canAttach(parentCopy, childCopy, parent, child)) {
        project.addChild(parentCopy, childCopy);
    }
}

// The source root's own copy is dropped: its top-level tasks go straight under the combined root.
void attachDirect(const Ptr& sourceRoot, const CopyMap& copies, OrbProject& project) {
    const Ptr& combinedRoot = project.root();
    lx::treeNavigateNodePairInPlace(sourceRoot, [&](const Ptr& parent, const Ptr& child) {
        const Ptr& parentCopy = parent == sourceRoot ? combinedRoot : copies.copyOf(*parent);
        attach(project, parentCopy, copies.copyOf(*child), *parent, *child);
    });
}

// The whole tree is built below the root's copy first, on the tasks alone, and attached last,
// so the combined project registers it in one go: registering each copy as it is placed would
// enter every task twice into a registry of all the combined tasks.
void attachUnderRootCopy(const Ptr& sourceRoot, const CopyMap& copies, OrbProject& project,
                         const std::string& sourceProjectName, Layout layout) {
    lx::treeNavigateNodePairInPlace(sourceRoot, [&](const Ptr& parent, const Ptr& child) {
        const Ptr& parentCopy = copies.copyOf(*parent);
        const Ptr& childCopy = copies.copyOf(*child);
        if (canAttach(parentCopy, childCopy, *parent, *child)) {
            parentCopy->addChild(childCopy);
        }
    });
    const Ptr& rootCopy = copies.copyOf(*sourceRoot);
    if (!rootCopy) {
        Log::warning("Root task not be cloned", combineProjectSite());
        return;
    }
    rootCopy->setTaskType(layout == Layout::group ? OrbProjectTaskType::groupTask
                                                  : OrbProjectTaskType::subProjectTask);
    if (rootCopy->name().empty()) {
        rootCopy->setName(sourceProjectName);
    }
    project.addChild(project.root(), rootCopy);
}

// A group task with children reports no predecessors; a predecessor without a copy is left out
// without a word.
void cloneTaskLinks(const OrbProjectTask& source, const CopyMap& copies) {
    const OrbTaskPredecessors* predecessors = source.links().predecessors();
    if (!predecessors) {
        return;
    }
    const auto links = predecessors->links();
    const Ptr& copy = copies.copyOf(source);
    if (!links || !copy) {
        return;
    }
    for (const Ptr& predecessor : *links) {
        if (const Ptr& predecessorCopy = copies.copyOf(*predecessor)) {
            copy->links().addPredecessor(predecessorCopy);
        }
    }
}

// The combined member standing for a source member; null, with a warning, when the source's map
// or the combined team lacks it. The two misses of a contact person are worded differently
// from an assignment's.
OrbProjectTask::Member combinedMember(const OrbProjectMember& member, const ProjectCache& cache,
                                      const OrbProjectTeam& team, const char* notClonedPrefix) {
    const auto mapped = cache.memberMap.find(member.id());
    if (mapped == cache.memberMap.end()) {
        Log::warning(
            [&] {
                return "Copying task failed, as member \"" + member.name() +
                       "\" is not existed in the new project";
            },
            copyTaskSite());
        return nullptr;
    }
    auto found = team.get(mapped->second);
    if (!found) {
        Log::warning(
            [&] {
                return std::string(notClonedPrefix) + " member \"" + member.name() +
                       "\" is not cloned correctly";
            },
            copyTaskSite());
    }
    return found;
}

}  // namespace

void CombineManager::TaskTreeCopy::combineProject(const CombineSource::Project& sourceProject,
                                                  const ProjectCache& projectCache,
                                                  const std::shared_ptr<OrbProject>& toProject,
                                                  std::int64_t& taskIdSeed, Layout layout) {
    const OrbProject& source = *sourceProject.orbProject;
    const Ptr& sourceRoot = source.root();

    CopyMap copies(static_cast<std::size_t>(std::max<std::int64_t>(source.taskCount(), 0)) + 1);
    lx::treeNavigateInPlace(sourceRoot, true, [&](const Ptr& task) {
        copies.set(*task, copyTask(*task, taskIdSeed, toProject, projectCache));
        ++taskIdSeed;
    });

    if (layout == Layout::direct) {
        attachDirect(sourceRoot, copies, *toProject);
    } else {
        attachUnderRootCopy(sourceRoot, copies, *toProject, source.name(), layout);
    }

    lx::treeNavigateInPlace(sourceRoot, true,
                            [&copies](const Ptr& task) { cloneTaskLinks(*task, copies); });
}

Ptr CombineManager::TaskTreeCopy::copyTask(const OrbProjectTask& source, std::int64_t toTaskId,
                                           const std::shared_ptr<OrbProject>& toProject,
                                           const ProjectCache& cache) {
    const Ptr copy =
        OrbProjectTask::create(toProject, nullptr, toTaskId, source.start(), source.finish());
    source.copyProperties(*copy, kCopyCategories);

    const OrbProjectTeam& team = *toProject->team();
    if (!source.resources().isEmpty()) {
        for (const OrbTaskResources::Assignment& assignment : source.resources().assignments()) {
            const auto member =
                combinedMember(*assignment->member(), cache, team, "Copying task failed, as");
            if (member) {
                copy->resources().addOrUpdateResource(member, assignment->workload());
            }
        }
    }
    if (const auto& contactor = source.contactor()) {
        if (auto member = combinedMember(*contactor, cache, team, "Clone incorrect, as")) {
            copy->setContactor(std::move(member));
        }
    }
    return copy;
}
