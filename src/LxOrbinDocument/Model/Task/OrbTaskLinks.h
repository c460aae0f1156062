#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class OrbProjectTask;

// The tasks linked to one task on one side (its predecessors, or its successors), in the order
// they were added.
//
// Tasks are told apart by id, never by object. A collection whose task does not allow links (a
// group task) reads as empty whatever it stores; its entries show again once the task may link.
// The collection refers to its linked tasks weakly, so links never keep tasks alive (a self-link
// and two tasks linked both ways included): a linked task the project no longer holds drops out.
//
// Lives inside its task's OrbTaskLinks; no lock: used by the thread that owns the project.
class OrbLinkCollection {
public:
    using Task = std::shared_ptr<OrbProjectTask>;

    explicit OrbLinkCollection(OrbProjectTask& node) : _node(node) {}
    OrbLinkCollection(const OrbLinkCollection&) = delete;
    OrbLinkCollection& operator=(const OrbLinkCollection&) = delete;

    // True when the task does not allow links or no task is linked.
    bool isEmpty() const;
    // Whether a linked task has `task`'s id; false when the task does not allow links.
    bool contains(const OrbProjectTask& task) const;
    // Removes the first linked task with `task`'s id; nothing when the task does not allow links.
    void removeLink(const OrbProjectTask& task);
    // The linked tasks in order of addition; none when `isEmpty()`.
    std::optional<std::vector<Task>> links() const;

protected:
    ~OrbLinkCollection() = default;

    OrbProjectTask& node() const { return _node; }

private:
    friend class OrbTaskLinks;

    struct Entry {
        std::int64_t id;
        std::weak_ptr<OrbProjectTask> task;
    };

    // The linked tasks whatever the task's kind, for the link operations that work on the
    // stored lists.
    std::vector<Task> stored() const;
    void append(const Task& task);
    void clearStored() { _links.clear(); }

    // The owning task, which holds this collection and so outlives it.
    OrbProjectTask& _node;
    std::vector<Entry> _links;
};

using OrbLinkAction =
    std::function<void(const OrbLinkCollection::Task& node, const OrbLinkCollection::Task& linked)>;

// A task's predecessors. `navigate` walks the predecessor graph depth-first, nearest links
// first (pre-order): action(node, predecessor), then that predecessor's own predecessors.
// Every path is walked on its own, so a task reached along two paths is visited twice; a task
// already on the current path is not entered again, so cycles end.
class OrbTaskPredecessors final : public OrbLinkCollection {
public:
    using OrbLinkCollection::OrbLinkCollection;
    void navigate(const OrbLinkAction& action) const;
};

// A task's successors; `navigate` as for predecessors, over successors.
class OrbTaskSuccessors final : public OrbLinkCollection {
public:
    using OrbLinkCollection::OrbLinkCollection;
    void navigate(const OrbLinkAction& action) const;
};

// A task's predecessors and successors. A link from P to S is recorded on both tasks: P among
// S's predecessors and S among P's successors; every operation here changes both records. The
// store refuses nothing but a duplicate: self-links, cycles and links across projects are the
// callers' rules.
//
// Each task owns one, made on first read of OrbProjectTask::links() (also by another task's link
// operation that needs it). No lock: used by the thread that owns the project.
//
// Example:
//   design->links().addPredecessor(research);   // research before design
//   const bool linked = design->links().hasDirectPredecessor(research->id());
class OrbTaskLinks {
public:
    using Task = OrbLinkCollection::Task;

    explicit OrbTaskLinks(OrbProjectTask& task);
    OrbTaskLinks(const OrbTaskLinks&) = delete;
    OrbTaskLinks& operator=(const OrbTaskLinks&) = delete;
    ~OrbTaskLinks();

    // The collection itself; null when it is empty or the task does not allow links.
    OrbTaskPredecessors* predecessors();
    OrbTaskSuccessors* successors();

    // Links `predecessor` before this task on both sides, unless it is already there.
    void addPredecessor(const Task& predecessor);
    // Removes the link on both sides; nothing when there is none.
    void removePredecessor(const OrbProjectTask& predecessor);
    // Removes every link whose other task meets `condition`, predecessors first, each from
    // both sides, calling the matching callback with the other task after each removal.
    void clear(const std::function<bool(const Task&)>& condition,
               const std::function<void(const Task&)>& onPredecessRemoved = {},
               const std::function<void(const Task&)>& onSuccessorRemoved = {});

    // Keeps a copy of both stored lists (replacing an earlier one); `restore` unlinks everything
    // and links the kept tasks again on both sides. The copy stays for further restores.
    void backup();
    void restore();
    // True without a backup or when both kept lists are empty.
    bool isBackupEmpty() const;

    bool isEmpty() const;
    bool isPredecessEmpty() const;
    bool isSuccessEmpty() const;
    std::int64_t predecessorCount() const;
    std::int64_t successorCount() const;

    // False when either task does not allow links.
    bool hasDirectLinkWith(const OrbProjectTask& task) const;
    // Predecessors, then successors (a task on both sides is listed twice); none when empty.
    std::optional<std::vector<Task>> directLinkedTasks() const;
    bool hasDirectPredecessor(std::int64_t taskId) const;
    bool hasDirectSuccessor(std::int64_t taskId) const;
    // Whether `task` comes before this task directly or through a chain of predecessors.
    bool hasPredeccessorLinkWith(const OrbProjectTask& task) const;

    // Depth-first over one direction, deepest links first (post-order): for each predecessor P
    // of this task, P's own predecessor tree, then handler(this task, P). Every path is walked
    // on its own; a task already on the current path is not entered again, so cycles end.
    void navigatePredecessorTree(const OrbLinkAction& handler) const;
    void navigateSuccessorTree(const OrbLinkAction& handler) const;

private:
    struct Backup;

    OrbLinkCollection& side(bool predecessorSide);
    // Unlinks, on both records, every task on one side that meets `condition`.
    void clearSide(bool predecessorSide, const std::function<bool(const Task&)>& condition,
                   const std::function<void(const Task&)>& onRemoved);
    void unlinkAll();

    // The owning task, which holds this object and so outlives it.
    OrbProjectTask& _task;
    OrbTaskPredecessors _predecessors;
    OrbTaskSuccessors _successors;
    std::unique_ptr<Backup> _backup;
};
