// Copying a source project's task tree into the combined project, and the copy of one task.
#include "app/manager/CombineTaskTreeCopy.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "LxLog/Log.h"
#include "LxOrbinDocument/Model/Task/CloneWarnings.h"
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

}  // namespace

// Copies are found by the source task itself, not by its id: a package may repeat a task id,
// and found by id two source tasks would share one copy, which would then be attached twice
// (two child lists, or a cycle) while the other task's copy was lost.
//
// Every lookup of a combine goes through here, over a hundred thousand tasks and more, so the
// table is one flat array probed in place: no node per entry and no handle copied on a lookup.
class CombineManager::TaskTreeCopy::CopyMap {
public:
    // Empties the table for a source of about `expected` tasks. A table of the right size is
    // cleared where it is; one far too large for this source is made anew, so that a small
    // source after a large one does not clear the large table.
    void reset(std::size_t expected) {
        std::size_t capacity = 16;
        while (capacity < 2 * expected) {
            capacity *= 2;
        }
        _count = 0;
        if (_slots.size() < capacity || _slots.size() > 4 * capacity) {
            _slots = std::vector<Slot>(capacity);
            _shift = 64 - static_cast<unsigned>(std::countr_zero(capacity));
        } else {
            std::ranges::fill(_slots, Slot{});
        }
    }

    // Records the copy of a source task that has none yet.
    void add(const OrbProjectTask& source, Ptr copy) {
        if (2 * (_count + 1) > _slots.size()) {
            rehash(_slots.size() * 2);
        }
        ++_count;
        _slots[indexOf(&source)] = {&source, std::move(copy)};
    }

    // Asks for the slot of `source` ahead of its lookup.
    void prefetch(const OrbProjectTask& source) const {
        __builtin_prefetch(&_slots[home(&source)]);
    }

    // The copy of `source`; empty when it has none.
    const Ptr& copyOf(const OrbProjectTask& source) const { return _slots[indexOf(&source)].copy; }

private:
    struct Slot {
        const OrbProjectTask* source = nullptr;
        Ptr copy;
    };

    // The slot holding `source`, or the empty one where it would go.
    std::size_t home(const OrbProjectTask* source) const {
        return static_cast<std::size_t>(
            (reinterpret_cast<std::uintptr_t>(source) * 0x9E3779B97F4A7C15ULL) >> _shift);
    }

    std::size_t indexOf(const OrbProjectTask* source) const {
        const std::size_t mask = _slots.size() - 1;
        auto index = home(source);
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

namespace {

// The predecessors of a source task that take part in links; none for a group task.
std::vector<Ptr> linkedPredecessors(const OrbProjectTask& source) {
    const OrbTaskPredecessors* predecessors = source.links().predecessors();
    if (!predecessors) {
        return {};
    }
    return predecessors->links().value_or(std::vector<Ptr>{});
}

// Copies the links of each source task between the copies. Links are made in pre-order of the
// tasks, each as soon as every predecessor of its task has a copy, so that most are made while
// both tasks are still fresh in memory; once one task has to wait, every later one waits too,
// so the links are made in the same order whatever the source looks like. The waiting ones are
// made by `finish`, when every copy exists; a predecessor that has no copy then is left out
// without a word.
template <class CopyMap>
class LinkCopy {
public:
    explicit LinkCopy(const CopyMap& copies) : _copies(copies) {}

    void add(const OrbProjectTask& source, const Ptr& copy) {
        if (!_waiting.empty()) {
            _waiting.push_back({&source, copy});
            return;
        }
        std::vector<Ptr> predecessors = linkedPredecessors(source);
        if (std::ranges::all_of(predecessors, [this](const Ptr& task) {
                return _copies.copyOf(*task) != nullptr;
            })) {
            link(copy, predecessors);
        } else {
            _waiting.push_back({&source, copy});
        }
    }

    void finish() {
        for (const Waiting& waiting : _waiting) {
            link(waiting.copy, linkedPredecessors(*waiting.source));
        }
        _waiting.clear();
    }

private:
    struct Waiting {
        const OrbProjectTask* source;
        Ptr copy;
    };

    void link(const Ptr& copy, const std::vector<Ptr>& predecessors) const {
        for (const Ptr& predecessor : predecessors) {
            if (const Ptr& predecessorCopy = _copies.copyOf(*predecessor)) {
                copy->links().addPredecessor(predecessorCopy);
            }
        }
    }

    const CopyMap& _copies;
    std::vector<Waiting> _waiting;
};

// The combined member standing for a source member; null, with a warning, when the source's map
// or the combined team lacks it. The two misses of a contact person are worded differently
// from an assignment's.
OrbProjectTask::Member combinedMember(const OrbProjectMember& member, const ProjectCache& cache,
                                      const OrbProjectTeam& team, const char* notClonedPrefix) {
    const auto mapped = cache.memberMap.find(member.id());
    if (mapped == cache.memberMap.end()) {
        Log::warning(
            [&] {
                return "Copying task failed, as member \"" + Log::escaped(member.name()) +
                       "\" is not existed in the new project";
            },
            copyTaskSite());
        return nullptr;
    }
    auto found = team.get(mapped->second);
    if (!found) {
        lx::warnMemberNotCloned(notClonedPrefix, member, copyTaskSite());
    }
    return found;
}

}  // namespace

CombineManager::TaskTreeCopy::TaskTreeCopy() : _copies(std::make_unique<CopyMap>()) {}

CombineManager::TaskTreeCopy::~TaskTreeCopy() = default;

// One walk copies, places, registers and links each task while the task and its copy are fresh
// in memory: a walk per step would read every task of a large plan from memory again. Under
// `direct` the root's copy is dropped and the source's top-level tasks go straight under the
// combined root; under `group` and `subProject` the root's copy goes under the combined root
// and holds the tree.
void CombineManager::TaskTreeCopy::combineProject(const CombineSource::Project& sourceProject,
                                                  const ProjectCache& projectCache,
                                                  const std::shared_ptr<OrbProject>& toProject,
                                                  std::int64_t& taskIdSeed, Layout layout) {
    const OrbProject& source = *sourceProject.orbProject;
    const Ptr& sourceRoot = source.root();
    OrbProject& project = *toProject;
    const Ptr& combinedRoot = project.root();
    const auto place = [&project](const Ptr& parent, const Ptr& child) {
        if (parent->addChild(child)) {
            project.registerTask(child);
        }
    };

    CopyMap& copies = *_copies;
    copies.reset(static_cast<std::size_t>(std::max<std::int64_t>(source.taskCount(), 0)) + 1);
    const Ptr rootCopy = copyTask(*sourceRoot, taskIdSeed++, toProject, projectCache);
    copies.add(*sourceRoot, rootCopy);
    if (layout != Layout::direct) {
        rootCopy->setTaskType(layout == Layout::group ? OrbProjectTaskType::groupTask
                                                      : OrbProjectTaskType::subProjectTask);
        if (rootCopy->name().empty()) {
            rootCopy->setName(source.name());
        }
        // Placed while it holds nothing: placing a task looks through all it holds.
        place(combinedRoot, rootCopy);
    }
    LinkCopy links(copies);
    links.add(*sourceRoot, rootCopy);

    lx::treeNavigateNodePairInPlace(sourceRoot, [&](const Ptr& parent, const Ptr& child) {
        // A task held in two child lists is copied once, at its first place; the second place
        // is left out with a warning, as one task written twice would be, and so is everything
        // below it.
        if (copies.copyOf(*child)) {
            lx::warnTaskNotCloned(*parent, *child, combineProjectSite());
            return;
        }
        const Ptr childCopy = copyTask(*child, taskIdSeed++, toProject, projectCache);
        copies.add(*child, childCopy);
        const bool topLevel = layout == Layout::direct && parent == sourceRoot;
        place(topLevel ? combinedRoot : copies.copyOf(*parent), childCopy);
        links.add(*child, childCopy);
        // The walk looks up the children next; on a large plan the table is far from the cache.
        if (const auto& below = child->childs()) {
            for (const Ptr& next : *below) {
                copies.prefetch(*next);
            }
        }
    });

    links.finish();
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
