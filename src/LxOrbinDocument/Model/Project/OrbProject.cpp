#include "LxOrbinDocument/Model/Project/OrbProject.h"

#include <algorithm>

#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "utility/CollectionExtensions.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"
#include "utility/LxTreeNode.h"
#include "utility/LxUniqueIdentifier.h"

using Task = OrbProject::Task;

namespace {

constexpr float kDefaultCostRate = 1.0f;
constexpr float kDefaultDailyWorkingHours = 8.0f;
constexpr float kHoursOfADay = 24.0f;

platform::Date today() {
    return lx::toDayOnly(platform::Date::now());
}

}  // namespace

std::shared_ptr<OrbProject> OrbProject::create(std::string uid, std::string name,
                                               std::optional<std::string> version) {
    return std::shared_ptr<OrbProject>(
        new OrbProject(std::move(uid), std::move(name), std::move(version)));
}

OrbProject::OrbProject(std::string uid, std::string name, std::optional<std::string> version)
    : _uniqueId(std::move(uid)),
      _name(std::move(name)),
      _version(version ? std::move(*version) : LxUniqueIdentifier::shared().uuidString()) {}

OrbProject::~OrbProject() = default;

// Written so that a value that is not a number fails both comparisons and is kept, as the
// document may carry one and reads it back unchanged.
void OrbProject::setDefaultCostRate(float defaultCostRate) {
    _defaultCostRate = defaultCostRate < 0.0f ? kDefaultCostRate : defaultCostRate;
}

void OrbProject::setDailyWorkingHours(float dailyWorkingHours) {
    const bool outside = dailyWorkingHours <= 0.0f || dailyWorkingHours > kHoursOfADay;
    _dailyWorkingHours = outside ? kDefaultDailyWorkingHours : dailyWorkingHours;
}

// --- Tree, calendar and registry ---

// The root is made only when asked for, as the project's own; a const project makes it too,
// since every reader of a project sees a tree.
const Task& OrbProject::root() const {
    if (!_root) {
        const platform::Date start = today();
        auto self = std::const_pointer_cast<OrbProject>(shared_from_this());
        _root = OrbProjectTask::create(self, nullptr, 0, start, start + LxDays(1));
    }
    return _root;
}

const std::shared_ptr<OrbProjectCalendar>& OrbProject::calendar() const {
    if (!_calendar) {
        const platform::Date start = _root ? _root->start() : today();
        const platform::Date finish = _root ? _root->finish() : start;
        _calendar = OrbProjectCalendar::create(start, finish, "");
    }
    return _calendar;
}

void OrbProject::initializeCalendar(std::shared_ptr<OrbProjectCalendar> with) {
    _calendar = std::move(with);
}

Task OrbProject::findTask(std::int64_t taskId) const {
    return _taskDict.find(taskId);
}

void OrbProject::registerTask(const Task& task) {
    _taskDict.set(task->id(), task);
}

void OrbProject::registerTree(const Task& top) {
    lx::treeNavigateInPlace(top, true, [this](const Task& task) { registerTask(task); });
}

void OrbProject::unregisterTree(const Task& top) {
    lx::treeNavigateInPlace(top, true, [this](const Task& task) { _taskDict.erase(task->id()); });
}

void OrbProject::initializeByCalendarAndTeamAndRootTask(
    std::shared_ptr<OrbProjectCalendar> calendar,
    const std::optional<std::vector<std::shared_ptr<OrbProjectMember>>>& teamMembers,
    const Task& rootTask) {
    if (calendar) {
        _calendar = std::move(calendar);
    }
    if (teamMembers) {
        for (const auto& member : *teamMembers) {
            _team->add(member);
        }
    }
    if (!_root && rootTask) {
        _root = rootTask;
        registerTree(_root);
    }
}

std::int64_t OrbProject::createNewTaskId() {
    if (!_taskIdSeed) {
        std::int64_t largest = 0;
        lx::treeNavigate(root(), true,
                         [&largest](const Task& task) { largest = std::max(largest, task->id()); });
        _taskIdSeed = largest;
    }
    return *(_taskIdSeed = *_taskIdSeed + 1);
}

bool OrbProject::isMemberBeAssignedToAnyTask(std::int64_t memberId) const {
    if (!_root) {
        return false;
    }
    return static_cast<bool>(lx::treeSearch(_root, false, [memberId](const Task& task) {
        return task->resources().isMemberIncluded(memberId);
    }));
}

// --- Child editing ---

void OrbProject::addChild(const Task& parentTask, const Task& childTask) {
    if (parentTask->addChild(childTask)) {
        registerTree(childTask);
    }
}

void OrbProject::insertChild(const Task& parentTask, const Task& childTask, std::int64_t index) {
    if (parentTask->insertChild(childTask, index)) {
        registerTree(childTask);
    }
}

void OrbProject::insertChild(const Task& parentTask, const Task& childTask, const Task& baseTask,
                             bool belowBaseTask) {
    if (parentTask->insertChild(childTask, baseTask, belowBaseTask)) {
        registerTree(childTask);
    }
}

Task OrbProject::createChild(const Task& parentTask, std::int64_t newChildTaskId,
                             platform::Date start, platform::Date finish) {
    Task child = parentTask->createChild(newChildTaskId, start, finish);
    registerTask(child);
    return child;
}

Task OrbProject::createChildAfter(const Task& parentTask, std::int64_t previousChildTaskId,
                                  std::int64_t newChildTaskId, platform::Date start,
                                  platform::Date finish) {
    Task child = parentTask->createChildAfter(previousChildTaskId, newChildTaskId, start, finish);
    registerTask(child);
    return child;
}

void OrbProject::removeChild(const Task& parentTask, const Task& childTask) {
    unregisterTree(childTask);
    if (parentTask->_childs) {
        lx::removeFirst(*parentTask->_childs,
                        [&childTask](const Task& child) { return *child == *childTask; });
        parentTask->forgetChildIndex();
    }
    childTask->_parent.reset();
}

void OrbProject::removeChildByRange(const Task& parentTask, std::int64_t fromIndex,
                                    std::int64_t toIndex) {
    parentTask->removeChildByRange(fromIndex, toIndex, *this);
}

void OrbProject::changeChildIndex(const Task& parentTask, const Task& task, std::int64_t newIndex,
                                  const std::function<void(const Task&)>& sequenceChanged) {
    parentTask->changeChildIndex(task, newIndex, sequenceChanged);
}
