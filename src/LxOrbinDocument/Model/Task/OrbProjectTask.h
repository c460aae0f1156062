#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "LxOrbinDocument/Model/Project/OrbProjectMember.h"
#include "LxOrbinDocument/Model/Task/CalculableProperty.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTaskPropertyCopyingCategories.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTaskType.h"
#include "LxOrbinDocument/Model/Task/OrbTaskCost.h"
#include "LxOrbinDocument/Model/Task/OrbTaskResources.h"
#include "LxOrbinDocument/Model/Task/OrbTaskWork.h"
#include "LxOrbinDocument/Model/Task/TaskUrl.h"
#include "platform/foundation/Date.h"

class DateBaseline;
class OrbProject;
class OrbTaskLinks;
class OrbTaskPredecessors;
class OrbTaskSuccessors;

// One task of a project plan and one node of the project's task tree: a single task, a
// milestone, a group task (a common task with children) or a project task (the root, or a
// sub-project task inside the plan).
//
// Ownership: a task owns its children (in order), its links, its baseline and its resource
// assignments; it refers to its parent and its project weakly, so a tree never keeps itself
// alive and a destroyed project frees every task nobody else holds. `parent()` and `project()`
// answer null once those are gone; a task whose project is gone counts no working days and
// prices no labour by the default rate.
// Links and the baseline are made on first read, also by const readers; like every part this
// model hands out, they are shared and changeable.
//
// Children: absent and empty child lists are kept apart (`childs()`), but both mean "no
// children" everywhere in the model. The child list never holds a cycle: a task refuses to take
// itself, one of its ancestors or a task that holds it below as a child.
//
// Derived values: a task with children shows the start, finish, completion, work, work
// completion and cost calculated from the tasks below it (OrbProjectTaskDerived.cpp). They are
// cached; after changing a tree, refresh them leaf to root
// (`refreshCalculatablePropertiesOfTaskGroup`). Reading a cold value of a deep tree calculates
// bottom-up without recursion.
//
// Numbering: outline numbers are cached on first read and kept until `refreshWbsNo()` on that
// task (OrbProjectTaskNumbering.cpp); sequence numbers change only when a numbering operation
// runs.
//
// Copying: `copyProperties` copies chosen groups of properties onto another task, sharing the
// member objects; the clones make a copy for another project, members looked up there by id
// (OrbProjectTaskCopying.cpp).
//
// Equality and hashing use the id alone. Made by `create()`, never copied or moved. The task
// throws nothing; no lock: used by the thread that owns its project. Tree walks: the task meets
// LxParentLinkedTreeNode through `std::shared_ptr<OrbProjectTask>` handles.
//
// Example:
//   auto root = project->root();
//   auto design = project->createChild(root, 1, monday, friday);
//   design->setName("Design");
//   root->refreshCalculatablePropertiesOfTaskGroup(true, true, true, true, true, true);
class OrbProjectTask : public std::enable_shared_from_this<OrbProjectTask> {
public:
    using Ptr = std::shared_ptr<OrbProjectTask>;
    using Childs = std::vector<Ptr>;
    using Member = std::shared_ptr<OrbProjectMember>;

    // Which groups of properties `copyProperties` takes
    // (OrbProjectTaskPropertyCopyingCategories.h).
    using OrbProjectTaskPropertyCopyingCategories = ::OrbProjectTaskPropertyCopyingCategories;

    // The dates are stored as given, without the range checks of the setters. `project` and
    // `parent` may be null; the task is not added to the parent's children.
    static Ptr create(const std::shared_ptr<OrbProject>& project, const Ptr& parent,
                      std::int64_t taskid, platform::Date start, platform::Date finish);

    // Only `create` can name the key: the constructor is public for `std::make_shared` alone,
    // which puts the task and its reference counts in one allocation.
    class ConstructionKey {
        friend class OrbProjectTask;
        explicit ConstructionKey() = default;
    };
    OrbProjectTask(ConstructionKey, const std::shared_ptr<OrbProject>& project, const Ptr& parent,
                   std::int64_t taskid, platform::Date start, platform::Date finish);
    ~OrbProjectTask();
    OrbProjectTask(const OrbProjectTask&) = delete;
    OrbProjectTask& operator=(const OrbProjectTask&) = delete;

    // --- Identity and tree ---

    std::int64_t id() const { return _id; }
    std::shared_ptr<OrbProject> project() const { return _project.lock(); }
    Ptr parent() const { return _parent.lock(); }
    const std::optional<Childs>& childs() const { return _childs; }
    const std::optional<Childs>& treeGetChilds() const { return _childs; }
    Ptr treeGetParentNode() const { return parent(); }
    // True when the child list is present and not empty.
    bool hasChilds() const { return _childs && !_childs->empty(); }
    // 0 when the list is absent.
    std::int64_t childCount() const {
        return _childs ? static_cast<std::int64_t>(_childs->size()) : 0;
    }
    // Null without children.
    Ptr firstChild() const { return hasChilds() ? _childs->front() : nullptr; }
    Ptr lastChild() const { return hasChilds() ? _childs->back() : nullptr; }
    // The nearest ancestor (never the task itself) that is a project task or the root; null for
    // the root.
    Ptr getRootTaskOfDirectProject() const;

    bool operator==(const OrbProjectTask& other) const { return _id == other._id; }
    bool isSameNode(const OrbProjectTask& node) const { return *this == node; }
    bool isEquel(const OrbProjectTask& other) const { return *this == other; }
    std::size_t hashValue() const { return std::hash<std::int64_t>{}(_id); }

    // --- Kinds ---

    // milestone; common: groupTask with children, else singleTask; project: subProjectTask with
    // a parent, else mainProjectTask.
    OrbProjectTaskType type() const;
    // Stores the inner type that `type` maps to (single and group task: common; sub- and main
    // project task: project); children and parent stay.
    void setTaskType(OrbProjectTaskType type);
    ProjectTaskInnerType innerType() const { return _innerType; }
    void setInnerType(ProjectTaskInnerType innerType) { _innerType = innerType; }

    bool isMilestone() const;
    bool isGroupTask() const;
    bool isSingleTask() const;
    bool isSubProjectTask() const;
    // No parent; the inner type is not consulted.
    bool isMainProjectTask() const;
    bool isMainOrSubProjectTask() const;

    // --- Stored values ---

    const std::string& name() const { return _name; }
    void setName(std::string name) { _name = std::move(name); }

    // With children: the derived start. A milestone: its stored finish minus one calendar day.
    // Otherwise the stored start.
    platform::Date start() const;
    // With children: the derived finish; otherwise the stored one. Exclusive: a task of one day
    // runs from the start of a day to the start of the next.
    platform::Date finish() const;
    // Both ignored on a task with children. A date inside the document date range
    // (OrbinDocumentConfig) is stored unchanged; any other becomes today's midnight (start) or
    // the next midnight (finish).
    void setStart(platform::Date start);
    void setFinish(platform::Date finish);

    // Percentages: the derived value with children, else the stored one; stored unchecked.
    std::int64_t completePercentage() const;
    void setCompletedPercentage(std::int64_t percentage);
    std::int64_t workCompletePercentage() const;
    void setWorkCompletedPercentage(std::int64_t percentage);

    // The stored work setting; the setter is ignored on a task with children.
    const OrbTaskWork& workData() const { return _work.storedValue; }
    void setWork(OrbTaskWork work);

    // The stored cost; the setters change it in place.
    const OrbTaskCost& costData() const { return _cost.storedValue; }
    void setLaborCost(OrbTaskLaborCost laborCost) { _cost.storedValue.laborCost = laborCost; }
    void setMaterialsCost(std::optional<float> materialsCost) {
        _cost.storedValue.materialsCost = materialsCost;
    }

    // The contact person: the member object itself, not a copy.
    const Member& contactor() const { return _contactor; }
    void setContactor(Member contactor) { _contactor = std::move(contactor); }
    void clearContactor() { _contactor.reset(); }

    const std::optional<std::string>& notes() const;
    void setNotes(std::optional<std::string> notes);

    std::int64_t colorIndex() const { return _colorindex; }
    void setColor(std::int64_t toIndex) { _colorindex = toIndex; }
    std::int64_t iconIndex() const { return _iconindex; }
    void setIcon(std::int64_t toIndex) { _iconindex = toIndex; }

    const std::optional<TaskUrl>& url1() const;
    void setUrl1(std::optional<TaskUrl> to);
    const std::optional<TaskUrl>& url2() const;
    void setUrl2(std::optional<TaskUrl> to);

    // Predecessor ids read from a document, kept until its links are made.
    const std::optional<std::vector<std::int64_t>>& predecessorIdListBuf() const {
        return _predecessoridlistbuf;
    }
    void setPredecessorIdListBuf(std::optional<std::vector<std::int64_t>> ids) {
        _predecessoridlistbuf = std::move(ids);
    }
    // Empties a present list (it stays present); an absent one stays absent.
    void clearPredecessorIdListBuf();

    bool collapsed() const { return _collapsed; }
    bool expanded() const { return !_collapsed; }
    // Collapses only a task with a parent; the root never hides its children.
    void collapse();
    void expand() { _collapsed = false; }
    // Stores the flag as read from a document, without the rule of `collapse()`.
    void setCollapsed(bool collapsed) { _collapsed = collapsed; }

    bool focused() const { return _focused; }
    void setFocused(bool focused) { _focused = focused; }

    // --- Assignments, links, baseline ---

    // The task's own assignments for a task without children that is not a milestone;
    // otherwise the shared empty list, which ignores every change.
    OrbTaskResources& resources();
    const OrbTaskResources& resources() const;
    // Whether the member is the contact person or among the task's own assignments.
    bool isOrbProjectMemberAssignedAsOwnerOrInResources(std::int64_t memberId) const;

    OrbTaskLinks& links() const;
    const std::shared_ptr<DateBaseline>& dateBaseline() const;
    // The baseline if one was made, else null (a baseline not yet made holds no dates): readers
    // of every task, such as the writer, do not make one per task.
    const DateBaseline* madeDateBaseline() const;

    // The link-node interface: a group task (common, with children) takes no part in links.
    bool allowLink() const;
    OrbTaskPredecessors* getPredecessors() const;
    OrbTaskSuccessors* getSuccessors() const;

    // --- Child editing (OrbProject's operations of the same names keep its registry) ---
    //
    // The adding operations set the child's parent, then place it unless a child with its id is
    // already listed. They refuse (changing nothing, answering false) a child that is this task,
    // one of its ancestors or a task holding this one below it, and an index out of range.

    // Makes a task in this task's project with this task as parent and colour, and appends it.
    Ptr createChild(std::int64_t newTaskId, platform::Date start, platform::Date finish);
    // The same, placed directly after the child with id `previousTaskId`, or last.
    Ptr createChildAfter(std::int64_t previousTaskId, std::int64_t newTaskId, platform::Date start,
                         platform::Date finish);
    bool addChild(const Ptr& child);
    // `index` in 0 through the number of children.
    bool insertChild(const Ptr& child, std::int64_t index);
    // Directly below (or above) `baseTask` when it is a child of this task, else first.
    bool insertChild(const Ptr& child, const Ptr& baseTask, bool belowBase);
    // Moves `task` to `newIndex` (0 through the number of children - 1) and calls
    // `sequenceChanged` for each child between the old and the new index, both included, in
    // the order before the move. Does nothing when the task is not a child, already stands
    // there or the index is out of range.
    void changeChildIndex(const Ptr& task, std::int64_t newIndex,
                          const std::function<void(const Ptr&)>& sequenceChanged);
    // Removes the children at toIndex, toIndex - 1, ... fromIndex; each loses its parent and is
    // taken out of `project`'s registry with its subtree, whose tasks keep their parents. Does
    // nothing unless 0 <= fromIndex <= toIndex < the number of children.
    void removeChildByRange(std::int64_t fromIndex, std::int64_t toIndex, OrbProject& project);

    // --- Derived values of a task with children ---

    // Each does nothing on a task without children; the flags choose start, finish,
    // completion, work, work completion and cost.
    void refreshCalculatablePropertiesOfTaskGroup(bool start, bool finish, bool completed,
                                                  bool work, bool workcompleted, bool cost);
    void requestToRefreshCalculatablePropertiesOfTaskGroup(bool start, bool finish, bool completed,
                                                           bool work, bool workcompleted,
                                                           bool cost);
    void requestToRefreshAllCalculatablePropertiesOfTaskGroup();
    void executeRequestToRefreshCalculatablePropertiesOfTaskGroup();

    // The calculations behind the derived values; none for a task without children.
    std::optional<platform::Date> calculateGroupStart() const;
    std::optional<platform::Date> calculateGroupFinish() const;
    // Completion of the leaves below, weighted by their working days.
    std::optional<std::int64_t> calculateGroupCompletedPercentage() const;
    // fixAmount of the children's work added up.
    std::optional<OrbTaskWork> calculateGroupWork() const;
    // Work completion of the leaves below, weighted by their work.
    std::optional<std::int64_t> calculateGroupWorkCompletedPercentage() const;
    // fix(children's labour cost added up), children's materials cost added up.
    std::optional<OrbTaskCost> calculateCost() const;

    // --- Figures ---

    // Working days from start to finish in the project calendar; 0 for a milestone.
    std::int64_t days() const;
    // Whole calendar days from start to finish; 0 for a milestone.
    std::int64_t duration() const;
    // The last second of the last day: finish minus one second.
    platform::Date finishForDisplay() const;
    // Hours: 0 for a milestone; the derived amount with children; otherwise by the work setting
    // (fixAmount, days x fixDailyWork, or days x assigned units x the project's daily hours).
    float work() const;
    float laborCost() const;
    // Work times the assignments' average cost rate, or the project's default rate when nobody
    // is assigned.
    float estimatedAutoLaborCost() const;
    float materialsCost() const;
    float totalCost() const;
    // The planned completion as of today's midnight, from the stored dates.
    std::int64_t tobeCompletePercentage() const;
    // False for a task with children and for a milestone; else whether it has own assignments.
    bool hasAssignment() const;

    // --- Numbering ---
    //
    // Outline numbers count children from 1 and join the levels with "." ("2.1.3"); the direct
    // number restarts below every project task. Both are "" for the root, and "" for a task
    // its parent does not list (by id) or that has such an ancestor below the root: no number
    // can be built for it.

    std::string wbsNo() const;
    std::string directWbsNo() const;
    // Fills both caches of this task, and those of its ancestors as far as it needs them.
    void buildWbsNumbers() const;
    // Clears both caches of this task only; its descendants keep theirs.
    void refreshWbsNo();

    std::int64_t globalSequenceNo() const { return _sequenceno; }
    std::int64_t directSequenceNo() const { return _directSequenceNo; }
    // Takes `counter` as this task's global sequence number and counts it on by one: the
    // action of a pre-order walk.
    void assignGlobalSequenceNo(std::int64_t& counter);
    // Numbers the subtree in pre-order, this task first, from `start` on.
    void setGlobalSequenceNoInTaskTree(std::int64_t start);
    // Numbers the subtree below this task in pre-order from `start + 1` on (this task takes
    // `start` when `includeMe`), going below common tasks only: a milestone or project task is
    // numbered, the tasks under it are not.
    void setDirectSequenceNoInTaskTree(std::int64_t start, bool includeMe);

    // --- Shape and visibility ---

    // 0 without children; else 1 + the deepest child, where a child counts 0 unless it is a
    // common task with children (so sub-projects and milestones count as one level). The
    // task's own kind is not consulted.
    std::int64_t deepsOfChildsExceptSubProjectTasks() const;
    // Whether a sub-project task lies anywhere below this task.
    bool includeSubProjectInChildsTree() const;
    // Whether an ancestor (this task excluded) is a sub-project task.
    bool isInSubProject() const;
    // False for the root; else whether some ancestor is collapsed.
    bool isHidden() const;
    // False when this task is collapsed; else whether no ancestor is.
    bool isAllAncestorsExpanded() const;
    // True for a single task, a milestone and a sub-project task; false for a group task and a
    // project task without parent.
    bool isVisibleInOneLine() const;
    // Down the last children while they are common tasks with children: the last task shown
    // of this task's subtree. The second stops at a collapsed task too.
    Ptr lastChildIncludeMeInDeepTree() const;
    Ptr lastExpandedChildIncludeMeInDeepTree() const;

    // --- Copying ---

    using Categories = OrbProjectTaskPropertyCopyingCategories;

    // Copies the name and the chosen groups of properties of this task onto `to`, never links,
    // children, id, parent, project, notes or the collapsed flag. Members (assignments, contact
    // person) are the same objects: finding them in another team is the caller's business.
    // Shown values of a group are taken where the task shows them (dates, completions,
    // materials cost), stored ones for its work and labour cost. Setters that `to` ignores
    // (dates and work on a task with children, assignments on a group or milestone) change
    // nothing there.
    void copyProperties(OrbProjectTask& to, Categories withoutLinkAndChildren) const;

    // A copy of this task for `toProject`: same id, this task's shown dates stored as they
    // are, no parent, children or links; kind, completions, baseline, work, cost, URLs, icon and
    // colour copied; assignments and contact person given to the members of `toProject`'s team
    // with the same ids. A member missing there is left out with a warning. Placing and
    // registering the copy is the caller's business.
    // Requires: `toProject` is not null.
    Ptr clonePropertyExceptChildrenAndLinkToOtherProject(
        const std::shared_ptr<OrbProject>& toProject) const;
    // A copy of a single task holding only the work of the given members: their assignments
    // (workload above 0) go to `toProject`'s members with the same ids, and its work amounts,
    // fixed labour cost and materials cost are scaled by the share of the workload they keep.
    // Null for a task that is not a single task or that none of the members works on.
    // Requires: `toProject` is not null.
    Ptr cloneSingleTaskPropertyExceptChildrenAndLinkToOtherProjectForOrbProjectMembers(
        const std::shared_ptr<OrbProject>& toProject,
        const std::vector<std::int64_t>& memberIds) const;

private:
    friend class OrbProject;

    template <class T, std::optional<T> (OrbProjectTask::*calculate)() const>
    using Derived = CalculableProperty<T, OrbProjectTask, calculate>;
    Ptr handle() const;
    // False, with a warning, when taking `child` would make the tree hold itself.
    bool canAdopt(const Ptr& child) const;
    // Sets the child's parent and, unless a child with its id is listed, inserts it at `index`
    // (the list is made when absent).
    void adopt(const Ptr& child, std::size_t index);
    // The first child with that id. Long lists answer from an index (`_childIndexById`).
    std::optional<std::size_t> indexOfChild(std::int64_t taskId) const;
    // Inserts into the present list and keeps the index in step.
    void placeChild(const Ptr& child, std::size_t index);
    void forgetChildIndex() { _childIndexById.reset(); }
    // A new task below this one, with this task's colour; the child list exists afterwards.
    Ptr makeChild(std::int64_t newTaskId, platform::Date start, platform::Date finish);
    struct Occasional;
    // The outline number `cache` holds, built when absent; "" for the root.
    std::string outlineNumber(std::optional<std::string> Occasional::*cache) const;
    // Whether both outline numbers are cached.
    bool holdsWbsNumbers() const;
    // Fills the caches of `box` below this task that a read of this task's own value would
    // fill, bottom-up, so that no reading recurses as deep as the tree.
    template <class Action>
    void forEachChosenBox(const std::array<bool, 6>& chosen, Action&& action);
    template <class Box>
    void warmChildren(Box OrbProjectTask::*box) const;
    // The weighted completion of the leaves below, each leaf giving `percentOfLeaf`.
    std::int64_t weightedCompletion(
        const std::function<std::int64_t(const OrbProjectTask&)>& percentOfLeaf) const;

    // What walks of the tree and of the links read of every task comes first, next to the
    // shared count in front of the task: a walk then reads one or two cache lines per task
    // instead of one at each end of it.
    const std::int64_t _id;
    ProjectTaskInnerType _innerType = ProjectTaskInnerType::common;
    std::weak_ptr<OrbProjectTask> _parent;
    std::optional<Childs> _childs;
    // The first index of each child id, made on the first look-up in a long list and dropped
    // when the list changes other than by appending.
    mutable std::unique_ptr<std::unordered_map<std::int64_t, std::size_t>> _childIndexById;
    mutable std::unique_ptr<OrbTaskLinks> _links;
    std::weak_ptr<OrbProject> _project;
    std::string _name;
    Derived<platform::Date, &OrbProjectTask::calculateGroupStart> _start;
    Derived<platform::Date, &OrbProjectTask::calculateGroupFinish> _finish;
    Derived<std::int64_t, &OrbProjectTask::calculateGroupCompletedPercentage> _completedPercentage;
    OrbTaskResources _resources;
    // Work and cost hold 4-byte values: side by side, with the flags after them, they fill
    // what would otherwise be padding.
    Derived<OrbTaskWork, &OrbProjectTask::calculateGroupWork> _work;
    Derived<OrbTaskCost, &OrbProjectTask::calculateCost> _cost;
    bool _collapsed = false;
    bool _focused = false;
    Derived<std::int64_t, &OrbProjectTask::calculateGroupWorkCompletedPercentage>
        _workCompletedPercentage;
    Member _contactor;
    std::int64_t _colorindex = 0;
    std::int64_t _iconindex = 0;
    // Documents give most linked tasks a list, so it stays here.
    std::optional<std::vector<std::int64_t>> _predecessoridlistbuf;
    std::int64_t _sequenceno = 0;
    std::int64_t _directSequenceNo = 0;
    // What most tasks never hold lives apart, made when the first of it is set (or, for the
    // baseline and the outline numbers, first read): a plan of 100k tasks then carries some
    // hundred bytes less per task through every walk, copy and release. A value read while no
    // record exists answers as an unset one.
    struct Occasional {
        std::optional<std::string> notes;
        std::shared_ptr<DateBaseline> dateBaseline;
        std::optional<TaskUrl> url1;
        std::optional<TaskUrl> url2;
        // Outline numbers are read only where a plan is shown numbered.
        std::optional<std::string> wbsNo;
        std::optional<std::string> directWbsNo;
    };
    Occasional& occasional() const;
    mutable std::unique_ptr<Occasional> _occasional;
};

template <>
struct std::hash<OrbProjectTask> {
    std::size_t operator()(const OrbProjectTask& task) const noexcept { return task.hashValue(); }
};
