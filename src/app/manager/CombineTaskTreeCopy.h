#pragma once

#include <cstdint>
#include <memory>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "app/manager/CombineCache.h"
#include "app/manager/CombineManager.h"
#include "app/manager/CombineOutput.h"
#include "app/manager/CombineSource.h"

// One source project's task tree copied into the combined project.
//
// Every task of the source, its root included, is copied in pre-order under the next id of the
// seed (the seed runs on across sources, so ids stay unique in the combined project). The
// copies are placed by the layout: `direct` puts the source's top-level tasks under the
// combined root and drops the root's copy; `group` and `subProject` put the root's copy, as a
// group or sub-project task holding the whole tree, under the combined root. Assignments and
// contact persons go to the combined members the source's member map names, predecessor links
// are rebuilt between the copies of one source. A problem (a member or task that cannot be
// matched) is one warning and leaves out only what it names.
//
// One object serves the sources of one combine in turn, on the combine's thread alone; the
// source is only read (its tasks' links are made on first read).
class CombineManager::TaskTreeCopy {
public:
    using Layout = CombineOutput::SourceProjectLayoutOption;
    using ProjectCache = CombineCache::ProjectCache;

    TaskTreeCopy();
    ~TaskTreeCopy();
    TaskTreeCopy(const TaskTreeCopy&) = delete;
    TaskTreeCopy& operator=(const TaskTreeCopy&) = delete;

    void combineProject(const CombineSource::Project& sourceProject,
                        const ProjectCache& projectCache,
                        const std::shared_ptr<OrbProject>& toProject, std::int64_t& taskIdSeed,
                        Layout layout);

    // A copy of `source` in `toProject` with id `toTaskId` and the dates the source shows: no
    // parent, children or links, not yet registered.
    static OrbProjectTask::Ptr copyTask(const OrbProjectTask& source, std::int64_t toTaskId,
                                        const std::shared_ptr<OrbProject>& toProject,
                                        const ProjectCache& cache);

    // The table from each source task to its copy; defined beside `combineProject`.
    class CopyMap;

private:
    // The copy of each task of the source being copied. One table serves every source of a
    // combine: made afresh per source, a large one would be taken from the system and faulted
    // in page by page each time.
    std::unique_ptr<CopyMap> _copies;
};
