#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"

#include "LxOrbinDocument/Model/Project/OrbinDocumentConfig.h"
#include "LxOrbinDocument/Model/Task/DateBaseline.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"
#include "utility/LxParentLinkedTreeNode.h"

using Ptr = OrbProjectTask::Ptr;

static_assert(LxParentLinkedTreeNode<Ptr>);

Ptr OrbProjectTask::create(const std::shared_ptr<OrbProject>& project, const Ptr& parent,
                           std::int64_t taskid, platform::Date start, platform::Date finish) {
    return std::make_shared<OrbProjectTask>(ConstructionKey(), project, parent, taskid, start,
                                            finish);
}

OrbProjectTask::OrbProjectTask(ConstructionKey, const std::shared_ptr<OrbProject>& project,
                               const Ptr& parent, std::int64_t taskid, platform::Date start,
                               platform::Date finish)
    : _id(taskid),
      _parent(parent),
      _project(project),
      _start(start),
      _finish(finish),
      _completedPercentage(0),
      _work(OrbTaskWork::byResource()),
      _cost(OrbTaskCost(OrbTaskLaborCost::auto_(), std::nullopt)),
      _workCompletedPercentage(0) {}

// A tree read from a file may be as deep as the file likes, and releasing it the plain way would
// recurse once per level. Children that nobody else holds hand their own children to this loop
// before they go, so every task is released without any below it.
OrbProjectTask::~OrbProjectTask() {
    if (!_childs) {
        return;
    }
    Childs pending = std::move(*_childs);
    while (!pending.empty()) {
        Ptr task = std::move(pending.back());
        pending.pop_back();
        if (task && task.use_count() == 1 && task->_childs) {
            for (Ptr& child : *task->_childs) {
                pending.push_back(std::move(child));
            }
            task->_childs.reset();
        }
    }
}

// Tasks live only in non-const shared pointers (`create`), so a handle made from a const task
// refers to a changeable object, as every other handle of the model does.
Ptr OrbProjectTask::handle() const {
    return std::const_pointer_cast<OrbProjectTask>(shared_from_this());
}

Ptr OrbProjectTask::getRootTaskOfDirectProject() const {
    return lx::treeSearchAncestor(handle(),
                                  [](const Ptr& up) { return up->isMainOrSubProjectTask(); });
}

// --- Kinds ---

OrbProjectTaskType OrbProjectTask::type() const {
    switch (_innerType.value()) {
        case ProjectTaskInnerType::milestone:
            return OrbProjectTaskType::milestone;
        case ProjectTaskInnerType::project:
            return parent() ? OrbProjectTaskType::subProjectTask
                            : OrbProjectTaskType::mainProjectTask;
        case ProjectTaskInnerType::common:
            break;
    }
    return hasChilds() ? OrbProjectTaskType::groupTask : OrbProjectTaskType::singleTask;
}

void OrbProjectTask::setTaskType(OrbProjectTaskType type) {
    switch (type.value()) {
        case OrbProjectTaskType::milestone:
            _innerType = ProjectTaskInnerType::milestone;
            return;
        case OrbProjectTaskType::singleTask:
        case OrbProjectTaskType::groupTask:
            _innerType = ProjectTaskInnerType::common;
            return;
        case OrbProjectTaskType::subProjectTask:
        case OrbProjectTaskType::mainProjectTask:
            _innerType = ProjectTaskInnerType::project;
            return;
    }
}

bool OrbProjectTask::isMilestone() const {
    return _innerType == ProjectTaskInnerType::milestone;
}

bool OrbProjectTask::isGroupTask() const {
    return _innerType == ProjectTaskInnerType::common && hasChilds();
}

bool OrbProjectTask::isSingleTask() const {
    return _innerType == ProjectTaskInnerType::common && !hasChilds();
}

bool OrbProjectTask::isSubProjectTask() const {
    return _innerType == ProjectTaskInnerType::project && parent();
}

bool OrbProjectTask::isMainProjectTask() const {
    return !parent();
}

bool OrbProjectTask::isMainOrSubProjectTask() const {
    return _innerType == ProjectTaskInnerType::project || !parent();
}

// --- Stored values ---

platform::Date OrbProjectTask::start() const {
    if (hasChilds()) {
        return _start.value(*this);
    }
    if (isMilestone()) {
        return _finish.storedValue - LxDays(1);
    }
    return _start.storedValue;
}

platform::Date OrbProjectTask::finish() const {
    return hasChilds() ? _finish.value(*this) : _finish.storedValue;
}

// Dates from outside the document date range (a damaged file, a far-off typing error) would
// reach the calendar's far ends; the task runs today instead.
void OrbProjectTask::setStart(platform::Date start) {
    if (hasChilds()) {
        return;
    }
    const bool inRange = OrbinDocumentConfig::shared().contains(start);
    _start.storedValue = inRange ? start : lx::toDayOnly(platform::Date::now());
}

void OrbProjectTask::setFinish(platform::Date finish) {
    if (hasChilds()) {
        return;
    }
    const bool inRange = OrbinDocumentConfig::shared().contains(finish);
    _finish.storedValue = inRange ? finish : lx::toDayOnly(platform::Date::now()) + LxDays(1);
}

std::int64_t OrbProjectTask::completePercentage() const {
    return hasChilds() ? _completedPercentage.value(*this) : _completedPercentage.storedValue;
}

void OrbProjectTask::setCompletedPercentage(std::int64_t percentage) {
    _completedPercentage.storedValue = percentage;
}

std::int64_t OrbProjectTask::workCompletePercentage() const {
    return hasChilds() ? _workCompletedPercentage.value(*this)
                       : _workCompletedPercentage.storedValue;
}

void OrbProjectTask::setWorkCompletedPercentage(std::int64_t percentage) {
    _workCompletedPercentage.storedValue = percentage;
}

void OrbProjectTask::setWork(OrbTaskWork work) {
    if (!hasChilds()) {
        _work.storedValue = work;
    }
}

namespace {

const std::optional<TaskUrl> kNoUrl;
const std::optional<std::string> kNoNotes;

}  // namespace

// Setting an absent value on a task without the record changes nothing, so it makes none: a
// document's reader sets every value of every task, most of them absent.

const std::optional<std::string>& OrbProjectTask::notes() const {
    return _occasional ? _occasional->notes : kNoNotes;
}

void OrbProjectTask::setNotes(std::optional<std::string> notes) {
    if (_occasional || notes) {
        occasional().notes = std::move(notes);
    }
}

const std::optional<TaskUrl>& OrbProjectTask::url1() const {
    return _occasional ? _occasional->url1 : kNoUrl;
}

const std::optional<TaskUrl>& OrbProjectTask::url2() const {
    return _occasional ? _occasional->url2 : kNoUrl;
}

void OrbProjectTask::setUrl1(std::optional<TaskUrl> to) {
    if (_occasional || to) {
        occasional().url1 = std::move(to);
    }
}

void OrbProjectTask::setUrl2(std::optional<TaskUrl> to) {
    if (_occasional || to) {
        occasional().url2 = std::move(to);
    }
}

OrbProjectTask::Occasional& OrbProjectTask::occasional() const {
    if (!_occasional) {
        _occasional = std::make_unique<Occasional>();
    }
    return *_occasional;
}

void OrbProjectTask::clearPredecessorIdListBuf() {
    if (_predecessoridlistbuf) {
        _predecessoridlistbuf->clear();
    }
}

void OrbProjectTask::collapse() {
    if (parent()) {
        _collapsed = true;
    }
}

// --- Assignments, links, baseline ---

OrbTaskResources& OrbProjectTask::resources() {
    if (hasChilds() || isMilestone()) {
        return OrbTaskResources::empty();
    }
    return _resources;
}

const OrbTaskResources& OrbProjectTask::resources() const {
    if (hasChilds() || isMilestone()) {
        return OrbTaskResources::empty();
    }
    return _resources;
}

bool OrbProjectTask::isOrbProjectMemberAssignedAsOwnerOrInResources(std::int64_t memberId) const {
    if (_contactor && _contactor->id() == memberId) {
        return true;
    }
    return _resources.isMemberIncluded(memberId);
}

OrbTaskLinks& OrbProjectTask::links() const {
    if (!_links) {
        _links = std::make_unique<OrbTaskLinks>(*handle());
    }
    return *_links;
}

const std::shared_ptr<DateBaseline>& OrbProjectTask::dateBaseline() const {
    std::shared_ptr<DateBaseline>& baseline = occasional().dateBaseline;
    if (!baseline) {
        baseline = DateBaseline::create(weak_from_this());
    }
    return baseline;
}

const DateBaseline* OrbProjectTask::madeDateBaseline() const {
    return _occasional ? _occasional->dateBaseline.get() : nullptr;
}

bool OrbProjectTask::allowLink() const {
    return !isGroupTask();
}

OrbTaskPredecessors* OrbProjectTask::getPredecessors() const {
    return links().predecessors();
}

OrbTaskSuccessors* OrbProjectTask::getSuccessors() const {
    return links().successors();
}
