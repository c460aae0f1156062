// The task's side of editing its child list. The project's operations of the same names call
// these and keep its registry in step.
#include <algorithm>
#include <unordered_set>

#include "LxLog/Log.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "utility/NumberConversions.h"

using Ptr = OrbProjectTask::Ptr;

namespace {

constexpr std::size_t kIndexedChildCount = 32;

// Whether `target` lies in the subtree of `top` (top included), by object. Each task is entered
// once, so a task listed under several parents costs nothing extra.
bool subtreeHolds(const Ptr& top, const OrbProjectTask* target) {
    std::vector<const OrbProjectTask*> pending{top.get()};
    std::unordered_set<const OrbProjectTask*> seen{top.get()};
    while (!pending.empty()) {
        const OrbProjectTask* task = pending.back();
        pending.pop_back();
        if (task == target) {
            return true;
        }
        if (!task->childs()) {
            continue;
        }
        for (const Ptr& child : *task->childs()) {
            if (child && seen.insert(child.get()).second) {
                pending.push_back(child.get());
            }
        }
    }
    return false;
}

}  // namespace

// Copies keyed by task id meet repeated ids in damaged files: placing a task below itself would
// make every later walk of the tree endless. Both the parent chain and the child lists are
// checked, since a task whose id was already listed takes the new parent without being listed.
bool OrbProjectTask::canAdopt(const Ptr& child) const {
    if (!child) {
        return false;
    }
    bool holdsItself = child.get() == this;
    for (Ptr up = parent(); up && !holdsItself; up = up->parent()) {
        holdsItself = up.get() == child.get();
    }
    if (!holdsItself && child->hasChilds()) {
        holdsItself = subtreeHolds(child, this);
    }
    if (holdsItself) {
        Log::warning([&] {
            return "Task " + lx::toString(child->id()) + " is not placed below task " +
                   lx::toString(_id) + ": the tree would hold itself";
        });
    }
    return !holdsItself;
}

// Numbering every task of a flat list, or adding thousands of children one by one, asks for
// an index per child: a scan each time would make both quadratic. Short lists are scanned, as
// an index would cost more than it saves there.
std::optional<std::size_t> OrbProjectTask::indexOfChild(std::int64_t taskId) const {
    if (!_childs) {
        return std::nullopt;
    }
    if (_childs->size() < kIndexedChildCount) {
        for (std::size_t index = 0; index < _childs->size(); ++index) {
            if ((*_childs)[index]->id() == taskId) {
                return index;
            }
        }
        return std::nullopt;
    }
    if (!_childIndexById) {
        _childIndexById = std::make_unique<std::unordered_map<std::int64_t, std::size_t>>();
        for (std::size_t index = 0; index < _childs->size(); ++index) {
            _childIndexById->try_emplace((*_childs)[index]->id(), index);
        }
    }
    const auto found = _childIndexById->find(taskId);
    return found == _childIndexById->end() ? std::nullopt : std::optional(found->second);
}

void OrbProjectTask::placeChild(const Ptr& child, std::size_t index) {
    const bool appended = index == _childs->size();
    _childs->insert(_childs->begin() + static_cast<std::ptrdiff_t>(index), child);
    if (!_childIndexById) {
        return;
    }
    if (appended) {
        _childIndexById->try_emplace(child->id(), index);
    } else {
        forgetChildIndex();
    }
}

void OrbProjectTask::adopt(const Ptr& child, std::size_t index) {
    child->_parent = weak_from_this();
    if (!_childs) {
        forgetChildIndex();
        _childs = Childs{child};
        return;
    }
    if (indexOfChild(child->id())) {
        return;
    }
    placeChild(child, index);
}

// A new child is appended even when a child with its id is listed: the file format hands the
// ids over as it reads them, and a list must not lose a task of the file.
Ptr OrbProjectTask::createChild(std::int64_t newTaskId, platform::Date start,
                                platform::Date finish) {
    Ptr child = makeChild(newTaskId, start, finish);
    placeChild(child, _childs->size());
    return child;
}

Ptr OrbProjectTask::createChildAfter(std::int64_t previousTaskId, std::int64_t newTaskId,
                                     platform::Date start, platform::Date finish) {
    Ptr child = makeChild(newTaskId, start, finish);
    const auto previous = indexOfChild(previousTaskId);
    placeChild(child, previous ? *previous + 1 : _childs->size());
    return child;
}

Ptr OrbProjectTask::makeChild(std::int64_t newTaskId, platform::Date start, platform::Date finish) {
    Ptr child = create(project(), handle(), newTaskId, start, finish);
    child->_colorindex = _colorindex;
    if (!_childs) {
        _childs.emplace();
    }
    return child;
}

bool OrbProjectTask::addChild(const Ptr& child) {
    if (!canAdopt(child)) {
        return false;
    }
    adopt(child, static_cast<std::size_t>(childCount()));
    return true;
}

bool OrbProjectTask::insertChild(const Ptr& child, std::int64_t index) {
    if (index < 0 || index > childCount() || !canAdopt(child)) {
        return false;
    }
    adopt(child, static_cast<std::size_t>(index));
    return true;
}

bool OrbProjectTask::insertChild(const Ptr& child, const Ptr& baseTask, bool belowBase) {
    if (!canAdopt(child)) {
        return false;
    }
    const auto base = baseTask ? indexOfChild(baseTask->id()) : std::nullopt;
    adopt(child, base ? *base + (belowBase ? 1 : 0) : 0);
    return true;
}

void OrbProjectTask::changeChildIndex(const Ptr& task, std::int64_t newIndex,
                                      const std::function<void(const Ptr&)>& sequenceChanged) {
    const auto oldIndex = task ? indexOfChild(task->id()) : std::nullopt;
    if (!oldIndex || newIndex < 0 || newIndex >= childCount()) {
        return;
    }
    const auto target = static_cast<std::size_t>(newIndex);
    if (*oldIndex == target) {
        return;
    }
    const Childs before = *_childs;
    Ptr moved = before[*oldIndex];
    _childs->erase(_childs->begin() + static_cast<std::ptrdiff_t>(*oldIndex));
    _childs->insert(_childs->begin() + newIndex, std::move(moved));
    forgetChildIndex();
    if (!sequenceChanged) {
        return;
    }
    for (std::size_t index = std::min(*oldIndex, target); index <= std::max(*oldIndex, target);
         ++index) {
        sequenceChanged(before[index]);
    }
}

// From the highest position down, so that every position names the list as it was before the
// call; the tasks below a removed child stay with it.
void OrbProjectTask::removeChildByRange(std::int64_t fromIndex, std::int64_t toIndex,
                                        OrbProject& project) {
    if (fromIndex < 0 || fromIndex > toIndex || toIndex >= childCount()) {
        return;
    }
    for (std::int64_t index = toIndex; index >= fromIndex; --index) {
        const Ptr child = (*_childs)[static_cast<std::size_t>(index)];
        _childs->erase(_childs->begin() + index);
        child->_parent.reset();
        project.unregisterTree(child);
    }
    forgetChildIndex();
}
