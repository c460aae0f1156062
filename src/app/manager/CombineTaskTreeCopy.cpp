// Copying a source project's task tree into the combined project, and the copy of one task.
#include "app/manager/CombineTaskTreeCopy.h"

#include <string>
#include <unordered_map>

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

// Copies are keyed by the source task itself, not by its id: a package may repeat a task id,
// and keyed by id two source tasks would share one copy, which would then be attached twice
// (two child lists, or a cycle) while the other task's copy was lost.
using CopyMap = std::unordered_map<const OrbProjectTask*, Ptr>;

Ptr copyOf(const CopyMap& copies, const Ptr& source) {
    const auto found = copies.find(source.get());
    return found == copies.end() ? nullptr : found->second;
}

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
    lx::treeNavigateNodePair(sourceRoot, [&](const Ptr& parent, const Ptr& child) {
        const Ptr parentCopy = parent == sourceRoot ? combinedRoot : copyOf(copies, parent);
        attach(project, parentCopy, copyOf(copies, child), *parent, *child);
    });
}

// The whole tree is built below the root's copy first, on the tasks alone, and attached last,
// so the combined project registers it in one go: registering each copy as it is placed would
// enter every task twice into a registry of all the combined tasks.
void attachUnderRootCopy(const Ptr& sourceRoot, const CopyMap& copies, OrbProject& project,
                         const std::string& sourceProjectName, Layout layout) {
    lx::treeNavigateNodePair(sourceRoot, [&](const Ptr& parent, const Ptr& child) {
        const Ptr parentCopy = copyOf(copies, parent);
        const Ptr childCopy = copyOf(copies, child);
        if (canAttach(parentCopy, childCopy, *parent, *child)) {
            parentCopy->addChild(childCopy);
        }
    });
    const Ptr rootCopy = copyOf(copies, sourceRoot);
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
    const auto copy = copies.find(&source);
    if (!links || copy == copies.end()) {
        return;
    }
    for (const Ptr& predecessor : *links) {
        if (const Ptr predecessorCopy = copyOf(copies, predecessor)) {
            copy->second->links().addPredecessor(predecessorCopy);
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

    CopyMap copies;
    copies.reserve(static_cast<std::size_t>(source.taskCount()) + 1);
    lx::treeNavigate(sourceRoot, true, [&](const Ptr& task) {
        copies[task.get()] = copyTask(*task, taskIdSeed, toProject, projectCache);
        ++taskIdSeed;
    });

    if (layout == Layout::direct) {
        attachDirect(sourceRoot, copies, *toProject);
    } else {
        attachUnderRootCopy(sourceRoot, copies, *toProject, source.name(), layout);
    }

    lx::treeNavigate(sourceRoot, true,
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
