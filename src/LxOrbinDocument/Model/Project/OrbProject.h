#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "LxOrbinDocument/Model/Project/OrbProjectCalendar.h"
#include "LxOrbinDocument/Model/Project/OrbProjectMember.h"
#include "LxOrbinDocument/Model/Project/OrbProjectTeam.h"
#include "LxOrbinDocument/Model/Project/OrbTaskRegistry.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinkType.h"
#include "platform/foundation/Date.h"

class OrbProjectTask;

// One project plan in memory: header settings, team, working-day calendar, the root of the task
// tree and a registry that finds every task of the tree by id.
//
// Ownership: the project owns its team, calendar, root and every registered task; tasks refer
// back to it weakly. The root and the calendar are made on first read (also by const readers)
// and kept.
//
// Registry: the child-editing operations below run the task's side of the same operation and
// keep every task they place in the tree, with its subtree, registered under its id; the ones
// that take tasks out unregister them by id. A later entry for an id replaces an earlier one.
// The root made on first read is not registered; the file format registers its root through
// `initializeByCalendarAndTeamAndRootTask`.
//
// Two setters clamp (values stored at creation are not clamped): a default cost rate below 0
// becomes 1.0, daily working hours of 0 or less or above 24 become 8.0; a value that is not a
// number passes both unchanged.
//
// Requires: tasks handed to the project's operations are not null.
//
// Made by `create()`, never copied or moved. Throws nothing; failed look-ups answer null. No
// lock of its own (its team and calendar guard themselves): one thread builds or edits a project
// at a time.
//
// Example:
//   auto project = OrbProject::create("8F0C...", "Combined Project");
//   project->setDailyWorkingHours(7.5f);
//   auto task = project->createChild(project->root(), project->createNewTaskId(), start, finish);
class OrbProject : public std::enable_shared_from_this<OrbProject> {
public:
    using Task = std::shared_ptr<OrbProjectTask>;

    // No version gives a fresh upper-case UUID text; an empty one is kept.
    static std::shared_ptr<OrbProject> create(std::string uid, std::string name,
                                              std::optional<std::string> version = std::nullopt);

    ~OrbProject();
    OrbProject(const OrbProject&) = delete;
    OrbProject& operator=(const OrbProject&) = delete;

    // --- Header ---

    const std::string& uniqueId() const { return _uniqueId; }
    const std::string& uid() const { return _uniqueId; }
    const std::string& name() const { return _name; }
    void setName(std::string name) { _name = std::move(name); }
    const std::string& version() const { return _version; }
    void setVersion(std::string version) { _version = std::move(version); }
    std::int64_t colorIndex() const { return _colorIndex; }
    void setColorIndex(std::int64_t colorIndex) { _colorIndex = colorIndex; }
    const std::optional<std::string>& imageId() const { return _imageId; }
    void setImageId(std::optional<std::string> imageId) { _imageId = std::move(imageId); }
    const std::shared_ptr<OrbProjectTeam>& team() const { return _team; }
    // Requires: `team` is not null.
    void setTeam(std::shared_ptr<OrbProjectTeam> team) { _team = std::move(team); }
    const std::optional<std::string>& notes() const { return _notes; }
    void setNotes(std::optional<std::string> notes) { _notes = std::move(notes); }
    const std::optional<platform::Date>& lastUpdate() const { return _lastUpdate; }
    void setLastUpdate(std::optional<platform::Date> lastUpdate) { _lastUpdate = lastUpdate; }
    const std::optional<std::string>& device() const { return _device; }
    void setDevice(std::optional<std::string> device) { _device = std::move(device); }
    float defaultCostRate() const { return _defaultCostRate; }
    void setDefaultCostRate(float defaultCostRate);
    bool displayCurrencyAtBegin() const { return _displayCurrencyAtBegin; }
    void setDisplayCurrencyAtBegin(bool atBegin) { _displayCurrencyAtBegin = atBegin; }
    const std::string& currency() const { return _currency; }
    void setCurrency(std::string currency) { _currency = std::move(currency); }
    float dailyWorkingHours() const { return _dailyWorkingHours; }
    void setDailyWorkingHours(float dailyWorkingHours);
    OrbTaskLinkType taskLinkType() const { return _taskLinkType; }
    void setTaskLinkType(OrbTaskLinkType taskLinkType) { _taskLinkType = taskLinkType; }
    float timespaceScale() const { return _timespaceScale; }
    void setTimespaceScale(float timespaceScale) { _timespaceScale = timespaceScale; }
    const std::optional<platform::Date>& timespaceOrginalTime() const {
        return _timespaceOrginalTime;
    }
    void setTimespaceOrginalTime(std::optional<platform::Date> time) {
        _timespaceOrginalTime = time;
    }
    float screenOffsetY() const { return _screenOffsetY; }
    void setScreenOffsetY(float screenOffsetY) { _screenOffsetY = screenOffsetY; }
    const std::optional<std::string>& pdfAuthorName() const { return _pdfAuthorName; }
    void setPdfAuthorName(std::optional<std::string> name) { _pdfAuthorName = std::move(name); }
    const std::optional<std::string>& pdfBannerImageId() const { return _pdfBannerImageId; }
    void setPdfBannerImageId(std::optional<std::string> imageId) {
        _pdfBannerImageId = std::move(imageId);
    }
    bool userHasSetLinkType() const { return _userHasSetLinkType; }
    void setUserHasSetLinkType(bool hasSet) { _userHasSetLinkType = hasSet; }
    bool onlyWorkingDayTaskSchedule() const { return _onlyWorkingDayTaskSchedule; }
    void setOnlyWorkingDayTaskSchedule(bool only) { _onlyWorkingDayTaskSchedule = only; }

    // --- Tree, calendar and registry ---

    // The root; made on first read as task 0 running today (midnight to the next midnight),
    // not registered.
    const Task& root() const;
    // Whether a root has been made or set; asks without making one.
    bool hasRoot() const { return static_cast<bool>(_root); }
    // The calendar; made on first read from the root's shown dates when a root exists (none is
    // made for it), else from today, with no exception days.
    const std::shared_ptr<OrbProjectCalendar>& calendar() const;
    // Requires: `calendar` is not null.
    void initializeCalendar(std::shared_ptr<OrbProjectCalendar> with);

    std::int64_t taskCount() const { return static_cast<std::int64_t>(_taskDict.size()); }
    Task findTask(std::int64_t taskId) const;
    // The registry's entry for the task's id becomes `task`.
    void registerTask(const Task& task);
    // Makes room in the registry for the ids below `endId` ahead of registering them one by one.
    void reserveTaskIdsBelow(std::int64_t endId) { _taskDict.reserveIdsBelow(endId); }

    // Sets the calendar when one is given, adds the members in order when some are given, and
    // when the project has no root yet, makes `rootTask` the root and registers its whole tree
    // (the root first, pre-order); a present root stays and nothing is registered.
    void initializeByCalendarAndTeamAndRootTask(
        std::shared_ptr<OrbProjectCalendar> calendar,
        const std::optional<std::vector<std::shared_ptr<OrbProjectMember>>>& teamMembers,
        const Task& rootTask);

    // A task id not yet used in the tree: the first call starts above the largest id of the
    // tree (making the root when there is none); each call answers the next id. Ids that enter
    // the tree later do not move the seed.
    std::int64_t createNewTaskId();

    // Whether a task below the root (the root excluded) assigns the member.
    bool isMemberBeAssignedToAnyTask(std::int64_t memberId) const;

    // --- Child editing: the task's side, then the registry ---

    // Both register the child and its subtree, also when the parent already lists a child with
    // its id; nothing when the task side refuses the child.
    void addChild(const Task& parentTask, const Task& childTask);
    void insertChild(const Task& parentTask, const Task& childTask, std::int64_t index);
    void insertChild(const Task& parentTask, const Task& childTask, const Task& baseTask,
                     bool belowBaseTask = true);
    // Make a task, register it and answer it.
    Task createChild(const Task& parentTask, std::int64_t newChildTaskId, platform::Date start,
                     platform::Date finish);
    Task createChildAfter(const Task& parentTask, std::int64_t previousChildTaskId,
                          std::int64_t newChildTaskId, platform::Date start, platform::Date finish);
    // Unregisters the child and its subtree, removes the first child with its id from the
    // parent's list and clears the child's parent.
    void removeChild(const Task& parentTask, const Task& childTask);
    void removeChildByRange(const Task& parentTask, std::int64_t fromIndex, std::int64_t toIndex);
    void changeChildIndex(const Task& parentTask, const Task& task, std::int64_t newIndex,
                          const std::function<void(const Task&)>& sequenceChanged);

    // --- Clones: new, independent projects made from a part of this one ---
    //
    // Each makes a project with a fresh uid and version named `projectName`, with copies of
    // this project's header settings (through the clamping setters; the link type, PDF
    // settings, device, last update and the two user flags keep their initial values), its
    // calendar and its team, and with copies of chosen tasks below `fromRootTask` (null: this
    // project's root) in their tree shape, keeping their ids, with the predecessor links among
    // the copies rebuilt. Tasks are copied by clonePropertyExceptChildrenAndLinkToOtherProject;
    // members are told apart by id. This project is only read (its root and calendar are made
    // when it has none). A task that could not be copied is passed over with the warning
    // "Clone incorrect, as task "<parent>" or "<child>" not be cloned"; when the start task
    // itself was not copied, a copy of it is made the root after the warning "Root task not be
    // cloned". The new root never has a parent, and a source whose tasks repeat an id never
    // makes the copy hold itself. Throws nothing. (OrbProjectCloning.cpp)

    // The tasks that overlap the days from `inDateRangeStart` to `inDateRangeFinish` (its whole
    // day included), by the dates they show: a task starting after that day or finishing (an
    // exclusive finish) at or before the range start is left out with its subtree. With
    // `clipPartialIncludedTasks`, a copy reaching outside is cut to the range by its setters.
    std::shared_ptr<OrbProject> clone(const Task& fromRootTask, std::string projectName,
                                      platform::Date inDateRangeStart,
                                      platform::Date inDateRangeFinish,
                                      bool clipPartialIncludedTasks = false) const;
    std::shared_ptr<OrbProject> clone(std::string projectName, platform::Date inDateRangeStart,
                                      platform::Date inDateRangeFinish,
                                      bool clipPartialIncludedTasks = false) const {
        return clone(nullptr, std::move(projectName), inDateRangeStart, inDateRangeFinish,
                     clipPartialIncludedTasks);
    }

    // `singleTasks`, in order, each placed directly below a copy of the start task without its
    // children (a task given twice only at its first place); links are rebuilt among those below
    // the start task.
    std::shared_ptr<OrbProject> clone(const Task& fromRootTask,
                                      const std::vector<Task>& singleTasks,
                                      std::string projectName) const;

    // The work of chosen members, or everything, optionally as a flat to-do list.
    //
    // With `forProjectmemberIdentifiers` naming members of the team (unknown ids are passed
    // over), the new team holds copies of those members alone and the copy holds their single
    // tasks (each with only their share of the work) with the group tasks above them; a
    // milestone is kept when `includeMilestone` and its parent was copied. Otherwise the whole
    // team and every task are copied, childless milestones only when `includeMilestone`.
    // `exportAsTodoList` makes it two levels: below the root copy, every copied childless task
    // in pre-order, without groups or milestones. (OrbProjectMemberCloning.cpp)
    std::shared_ptr<OrbProject> clone(
        const Task& fromRootTask, std::string projectName,
        const std::optional<std::vector<std::int64_t>>& forProjectmemberIdentifiers = std::nullopt,
        bool exportAsTodoList = false, bool includeMilestone = true) const;
    std::shared_ptr<OrbProject> clone(
        std::string projectName,
        const std::optional<std::vector<std::int64_t>>& forProjectmemberIdentifiers = std::nullopt,
        bool exportAsTodoList = false, bool includeMilestone = true) const {
        return clone(nullptr, std::move(projectName), forProjectmemberIdentifiers, exportAsTodoList,
                     includeMilestone);
    }

private:
    friend class OrbProjectTask;

    OrbProject(std::string uid, std::string name, std::optional<std::string> version);

    void registerTree(const Task& top);
    void unregisterTree(const Task& top);

    const std::string _uniqueId;
    std::string _name;
    std::string _version;
    std::int64_t _colorIndex = 0;
    std::optional<std::string> _imageId;
    std::shared_ptr<OrbProjectTeam> _team = OrbProjectTeam::create();
    mutable std::shared_ptr<OrbProjectCalendar> _calendar;
    std::optional<std::string> _notes;
    OrbTaskRegistry _taskDict;
    std::optional<std::int64_t> _taskIdSeed;
    mutable Task _root;
    std::optional<platform::Date> _lastUpdate;
    std::optional<std::string> _device;
    float _defaultCostRate = 1.0f;
    bool _displayCurrencyAtBegin = false;
    std::string _currency = "$";
    float _dailyWorkingHours = 8.0f;
    OrbTaskLinkType _taskLinkType = OrbTaskLinkType::finishToStart;
    float _timespaceScale = 1.0f;
    std::optional<platform::Date> _timespaceOrginalTime;
    float _screenOffsetY = 0.0f;
    std::optional<std::string> _pdfAuthorName;
    std::optional<std::string> _pdfBannerImageId;
    bool _userHasSetLinkType = false;
    bool _onlyWorkingDayTaskSchedule = false;
};
