// Clones of a project by date range and by chosen tasks. The steps the clones share are in
// internal/OrbProjectCloneFrame.cpp.
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Project/internal/OrbProjectCloneFrame.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "utility/DateUnits.h"
#include "utility/LxTreeNode.h"

using Task = OrbProject::Task;

namespace {

constexpr char kDateRangeFunction[] =
    "clone(fromRootTask:projectName:inDateRangeStart:inDateRangeFinish:clipPartialIncludedTasks:)";
constexpr char kSingleTasksFunction[] = "clone(fromRootTask:singleTasks:projectName:)";

}  // namespace

// The range is tested on the dates each task shows, so a group counts by the span of its
// children; a task's finish is exclusive, so the range runs to the start of the day after its
// last day.
std::shared_ptr<OrbProject> OrbProject::clone(const Task& fromRootTask, std::string projectName,
                                              platform::Date inDateRangeStart,
                                              platform::Date inDateRangeFinish,
                                              bool clipPartialIncludedTasks) const {
    orb_clone::Frame frame = orb_clone::begin(*this, fromRootTask, std::move(projectName),
                                              _team->clone(), kDateRangeFunction);
    const platform::Date rangeEnd = inDateRangeFinish + LxDays(1);
    lx::treeConditionalNavigate(frame.start, true, [&](const Task& task) {
        const platform::Date start = task->start();
        const platform::Date finish = task->finish();
        if (start > inDateRangeFinish || finish <= inDateRangeStart) {
            return false;
        }
        const Task copy = frame.copy(task);
        const bool inside = start >= inDateRangeStart && finish <= rangeEnd;
        if (!inside && clipPartialIncludedTasks) {
            if (copy->start() < inDateRangeStart) {
                copy->setStart(inDateRangeStart);
            }
            if (copy->finish() > rangeEnd) {
                copy->setFinish(rangeEnd);
            }
        }
        return true;
    });
    frame.attachByPairs();
    return frame.finish(true);
}

// Every given task becomes a child of the root copy, wherever it stood; so only links between
// given tasks can be rebuilt, and the start task's own are left out. A task given twice is
// copied once, at its first place: a second copy would take the first one's place in the copy
// map, and the links would be rebuilt on a copy that is in no tree.
std::shared_ptr<OrbProject> OrbProject::clone(const Task& fromRootTask,
                                              const std::vector<Task>& singleTasks,
                                              std::string projectName) const {
    orb_clone::Frame frame = orb_clone::begin(*this, fromRootTask, std::move(projectName),
                                              _team->clone(), kSingleTasksFunction);
    const Task rootCopy = frame.copy(frame.start, false);
    for (const Task& task : singleTasks) {
        if (!frame.copied(task)) {
            orb_clone::Frame::attach(rootCopy, frame.copy(task));
        }
    }
    return frame.finish(false, rootCopy);
}
