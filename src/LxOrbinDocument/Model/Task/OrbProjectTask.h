#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "LxOrbinDocument/Model/Project/OrbProjectMember.h"
#include "LxOrbinDocument/Model/Task/CalculableProperty.h"
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

    // The dates are stored as given, without the range checks of the setters. `project` and
    // `parent` may be null; the task is not added to the parent's children.
    static Ptr create(const std::shared_ptr<OrbProject>& project, const Ptr& parent,
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

    const std::optional<std::string>& notes() const { return _notes; }
    void setNotes(std::optional<std::string> notes) { _notes = std::move(notes); }

    std::int64_t colorIndex() const { return _colorindex; }
    void setColor(std::int64_t toIndex) { _colorindex = toIndex; }
    std::int64_t iconIndex() const { return _iconindex; }
    void setIcon(std::int64_t toIndex) { _iconindex = toIndex; }

    const std::optional<TaskUrl>& url1() const { return _url1; }
    void setUrl1(std::optional<TaskUrl> to) { _url1 = std::move(to); }
    const std::optional<TaskUrl>& url2() const { return _url2; }
    void setUrl2(std::optional<TaskUrl> to) { _url2 = std::move(to); }

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

private:
    friend class OrbProject;

    OrbProjectTask(const std::shared_ptr<OrbProject>& project, const Ptr& parent,
                   std::int64_t taskid, platform::Date start, platform::Date finish);

    void bindCalculations();
    Ptr handle() const;
    // False, with a warning, when taking `child` would make the tree hold itself.
    bool canAdopt(const Ptr& child) const;
    // Sets the child's parent and, unless a child with its id is listed, inserts it at `index`
    // (the list is made when absent).
    void adopt(const Ptr& child, std::size_t index);
    std::optional<std::size_t> indexOfChild(std::int64_t taskId) const;
    std::size_t childCount() const { return _childs ? _childs->size() : 0; }
    // A new task below this one, with this task's colour; the child list exists afterwards.
    Ptr makeChild(std::int64_t newTaskId, platform::Date start, platform::Date finish);
    // Fills the caches of `box` below this task that a read of this task's own value would
    // fill, bottom-up, so that no reading recurses as deep as the tree.
    template <class Action>
    void forEachChosenBox(const std::array<bool, 6>& chosen, Action&& action);
    template <class T>
    void warmChildren(CalculableProperty<T> OrbProjectTask::*box) const;
    // The weighted completion of the leaves below, each leaf giving `percentOfLeaf`.
    std::int64_t weightedCompletion(
        const std::function<std::int64_t(const OrbProjectTask&)>& percentOfLeaf) const;

    std::weak_ptr<OrbProject> _project;
    const std::int64_t _id;
    std::string _name;
    CalculableProperty<platform::Date> _start;
    CalculableProperty<platform::Date> _finish;
    CalculableProperty<std::int64_t> _completedPercentage;
    OrbTaskResources _resources;
    CalculableProperty<OrbTaskWork> _work;
    CalculableProperty<std::int64_t> _workCompletedPercentage;
    Member _contactor;
    CalculableProperty<OrbTaskCost> _cost;
    std::optional<std::string> _notes;
    std::int64_t _colorindex = 0;
    std::int64_t _iconindex = 0;
    ProjectTaskInnerType _innerType = ProjectTaskInnerType::common;
    std::weak_ptr<OrbProjectTask> _parent;
    std::optional<Childs> _childs;
    mutable std::unique_ptr<OrbTaskLinks> _links;
    std::optional<std::vector<std::int64_t>> _predecessoridlistbuf;
    mutable std::shared_ptr<DateBaseline> _dateBaseline;
    std::optional<TaskUrl> _url1;
    std::optional<TaskUrl> _url2;
    bool _collapsed = false;
    bool _focused = false;
};

template <>
struct std::hash<OrbProjectTask> {
    std::size_t operator()(const OrbProjectTask& task) const noexcept { return task.hashValue(); }
};
