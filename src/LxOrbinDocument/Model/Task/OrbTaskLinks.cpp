#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"

#include <algorithm>
#include <deque>
#include <unordered_set>

#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "utility/CollectionExtensions.h"

using Task = OrbLinkCollection::Task;

namespace {

enum class Direction { predecessors, successors };

OrbLinkCollection* sideOf(const OrbProjectTask& task, Direction direction) {
    OrbTaskLinks& links = task.links();
    if (direction == Direction::predecessors) {
        return links.predecessors();
    }
    return links.successors();
}

// The linked tasks on one side as the walks see them: none when the task does not allow links.
std::vector<Task> linkedOn(const OrbProjectTask& task, Direction direction) {
    const OrbLinkCollection* side = sideOf(task, direction);
    return side ? side->links().value_or(std::vector<Task>{}) : std::vector<Task>{};
}

// A task under a walk, with the linked tasks it had when the walk reached it.
struct Frame {
    Task task;
    std::vector<Task> linked;
    std::size_t next = 0;
};

// Link graphs come from files and may be deep or cyclic, so the walks keep their own stack and
// do not enter a task that is already on the current path.
class PathWalk {
public:
    PathWalk(const Task& start, Direction direction) : direction_(direction) { push(start); }

    bool onPath(const Task& task) const { return onPath_.contains(task.get()); }
    bool empty() const { return stack_.empty(); }
    Frame& top() { return stack_.back(); }

    void push(const Task& task) {
        stack_.push_back({task, linkedOn(*task, direction_)});
        onPath_.insert(task.get());
    }

    void pop() {
        onPath_.erase(stack_.back().task.get());
        stack_.pop_back();
    }

private:
    Direction direction_;
    std::vector<Frame> stack_;
    std::unordered_set<const OrbProjectTask*> onPath_;
};

// Post-order: the whole tree behind a linked task first, then handler(task, linked).
void walkDeepestFirst(const Task& start, Direction direction, const OrbLinkAction& handler) {
    PathWalk walk(start, direction);
    while (!walk.empty()) {
        Frame& top = walk.top();
        if (top.next == top.linked.size()) {
            walk.pop();
            if (!walk.empty()) {
                Frame& parent = walk.top();
                handler(parent.task, parent.linked[parent.next++]);
            }
            continue;
        }
        const Task linked = top.linked[top.next];
        if (walk.onPath(linked)) {
            handler(top.task, linked);
            ++top.next;
            continue;
        }
        walk.push(linked);
    }
}

// Pre-order: action(task, linked), then the tree behind the linked task.
void walkNearestFirst(const Task& start, Direction direction, const OrbLinkAction& action) {
    PathWalk walk(start, direction);
    while (!walk.empty()) {
        Frame& top = walk.top();
        if (top.next == top.linked.size()) {
            walk.pop();
            continue;
        }
        const Task linked = top.linked[top.next++];
        action(top.task, linked);
        if (!walk.onPath(linked)) {
            walk.push(linked);
        }
    }
}

}  // namespace

// --- One side ---

// Entries whose task is gone (a task the project let go) no longer count as links.
std::vector<Task> OrbLinkCollection::stored() const {
    std::vector<Task> tasks;
    tasks.reserve(_links.size());
    for (const Entry& entry : _links) {
        if (Task task = entry.task.lock()) {
            tasks.push_back(std::move(task));
        }
    }
    return tasks;
}

void OrbLinkCollection::append(const Task& task) {
    std::erase_if(_links, [](const Entry& entry) { return entry.task.expired(); });
    _links.push_back({task->id(), task});
}

bool OrbLinkCollection::isEmpty() const {
    return !_node.allowLink() ||
           std::ranges::all_of(_links, [](const Entry& entry) { return entry.task.expired(); });
}

bool OrbLinkCollection::contains(const OrbProjectTask& task) const {
    if (!_node.allowLink()) {
        return false;
    }
    return std::ranges::any_of(_links, [&task](const Entry& entry) {
        return entry.id == task.id() && !entry.task.expired();
    });
}

void OrbLinkCollection::removeLink(const OrbProjectTask& task) {
    if (!_node.allowLink()) {
        return;
    }
    lx::removeFirst(_links, [&task](const Entry& entry) {
        return entry.id == task.id() && !entry.task.expired();
    });
}

std::optional<std::vector<Task>> OrbLinkCollection::links() const {
    if (!_node.allowLink()) {
        return std::nullopt;
    }
    std::vector<Task> tasks = stored();
    if (tasks.empty()) {
        return std::nullopt;
    }
    return tasks;
}

void OrbTaskPredecessors::navigate(const OrbLinkAction& action) const {
    walkNearestFirst(node().shared_from_this(), Direction::predecessors, action);
}

void OrbTaskSuccessors::navigate(const OrbLinkAction& action) const {
    walkNearestFirst(node().shared_from_this(), Direction::successors, action);
}

// --- Both sides ---

struct OrbTaskLinks::Backup {
    std::vector<OrbLinkCollection::Entry> predecessors;
    std::vector<OrbLinkCollection::Entry> successors;
};

OrbTaskLinks::OrbTaskLinks(OrbProjectTask& task)
    : _task(task), _predecessors(task), _successors(task) {}

OrbTaskLinks::~OrbTaskLinks() = default;

OrbTaskPredecessors* OrbTaskLinks::predecessors() {
    return _predecessors.isEmpty() ? nullptr : &_predecessors;
}

OrbTaskSuccessors* OrbTaskLinks::successors() {
    return _successors.isEmpty() ? nullptr : &_successors;
}

void OrbTaskLinks::addPredecessor(const Task& predecessor) {
    OrbTaskLinks& other = predecessor->links();
    if (!other._successors.contains(_task)) {
        other._successors.append(_task.shared_from_this());
    }
    if (!_predecessors.contains(*predecessor)) {
        _predecessors.append(predecessor);
    }
}

void OrbTaskLinks::removePredecessor(const OrbProjectTask& predecessor) {
    predecessor.links()._successors.removeLink(_task);
    _predecessors.removeLink(predecessor);
}

OrbLinkCollection& OrbTaskLinks::side(bool predecessorSide) {
    if (predecessorSide) {
        return _predecessors;
    }
    return _successors;
}

void OrbTaskLinks::clear(const std::function<bool(const Task&)>& condition,
                         const std::function<void(const Task&)>& onPredecessRemoved,
                         const std::function<void(const Task&)>& onSuccessorRemoved) {
    clearSide(true, condition, onPredecessRemoved);
    clearSide(false, condition, onSuccessorRemoved);
}

// Works on a copy of the stored list: removing changes the list being walked.
void OrbTaskLinks::clearSide(bool predecessorSide,
                             const std::function<bool(const Task&)>& condition,
                             const std::function<void(const Task&)>& onRemoved) {
    OrbLinkCollection& mine = side(predecessorSide);
    for (const Task& other : mine.stored()) {
        if (!condition(other)) {
            continue;
        }
        other->links().side(!predecessorSide).removeLink(_task);
        mine.removeLink(*other);
        if (onRemoved) {
            onRemoved(other);
        }
    }
}

void OrbTaskLinks::backup() {
    _backup = std::make_unique<Backup>(Backup{_predecessors._links, _successors._links});
}

void OrbTaskLinks::unlinkAll() {
    clearSide(true, [](const Task&) { return true; }, {});
    clearSide(false, [](const Task&) { return true; }, {});
    _successors.clearStored();
    _predecessors.clearStored();
}

void OrbTaskLinks::restore() {
    if (!_backup) {
        return;
    }
    unlinkAll();
    const Task self = _task.shared_from_this();
    for (const auto& entry : _backup->predecessors) {
        const Task predecessor = entry.task.lock();
        if (!predecessor) {
            continue;
        }
        OrbTaskLinks& other = predecessor->links();
        if (!other._successors.contains(_task)) {
            other._successors.append(self);
        }
        if (!_predecessors.contains(*predecessor)) {
            _predecessors.append(predecessor);
        }
    }
    for (const auto& entry : _backup->successors) {
        if (const Task successor = entry.task.lock()) {
            successor->links().addPredecessor(self);
        }
    }
}

bool OrbTaskLinks::isBackupEmpty() const {
    return !_backup || (_backup->predecessors.empty() && _backup->successors.empty());
}

bool OrbTaskLinks::isEmpty() const {
    return isPredecessEmpty() && isSuccessEmpty();
}

bool OrbTaskLinks::isPredecessEmpty() const {
    return _predecessors.isEmpty();
}

bool OrbTaskLinks::isSuccessEmpty() const {
    return _successors.isEmpty();
}

std::int64_t OrbTaskLinks::predecessorCount() const {
    return static_cast<std::int64_t>(_predecessors.links().value_or(std::vector<Task>{}).size());
}

std::int64_t OrbTaskLinks::successorCount() const {
    return static_cast<std::int64_t>(_successors.links().value_or(std::vector<Task>{}).size());
}

bool OrbTaskLinks::hasDirectLinkWith(const OrbProjectTask& task) const {
    if (!task.allowLink() || !_task.allowLink()) {
        return false;
    }
    return _predecessors.contains(task) || _successors.contains(task);
}

std::optional<std::vector<Task>> OrbTaskLinks::directLinkedTasks() const {
    if (!_task.allowLink() || isEmpty()) {
        return std::nullopt;
    }
    std::vector<Task> tasks = _predecessors.links().value_or(std::vector<Task>{});
    for (Task& successor : _successors.links().value_or(std::vector<Task>{})) {
        tasks.push_back(std::move(successor));
    }
    return tasks;
}

bool OrbTaskLinks::hasDirectPredecessor(std::int64_t taskId) const {
    const auto linked = _predecessors.links();
    return linked && std::ranges::any_of(
                         *linked, [taskId](const Task& task) { return task->id() == taskId; });
}

bool OrbTaskLinks::hasDirectSuccessor(std::int64_t taskId) const {
    const auto linked = _successors.links();
    return linked && std::ranges::any_of(
                         *linked, [taskId](const Task& task) { return task->id() == taskId; });
}

// Whether `task` can be reached along predecessors. Each task is looked at once, so shared
// chains cost no more than the graph's size and a cycle ends the search.
bool OrbTaskLinks::hasPredeccessorLinkWith(const OrbProjectTask& task) const {
    if (!task.allowLink() || !_task.allowLink()) {
        return false;
    }
    std::deque<const OrbProjectTask*> pending{&_task};
    std::unordered_set<const OrbProjectTask*> seen{&_task};
    while (!pending.empty()) {
        const OrbProjectTask* current = pending.front();
        pending.pop_front();
        for (const Task& predecessor : linkedOn(*current, Direction::predecessors)) {
            if (predecessor->id() == task.id()) {
                return true;
            }
            if (seen.insert(predecessor.get()).second) {
                pending.push_back(predecessor.get());
            }
        }
    }
    return false;
}

void OrbTaskLinks::navigatePredecessorTree(const OrbLinkAction& handler) const {
    walkDeepestFirst(_task.shared_from_this(), Direction::predecessors, handler);
}

void OrbTaskLinks::navigateSuccessorTree(const OrbLinkAction& handler) const {
    walkDeepestFirst(_task.shared_from_this(), Direction::successors, handler);
}
