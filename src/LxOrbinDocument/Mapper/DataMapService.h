#pragma once

#include <memory>

#include "LxOrbinDocument/Json/JsonProject.h"
#include "LxOrbinDocument/Json/JsonTask.h"

class OrbProject;
class OrbProjectTask;

// Turns a decoded project document into a project and a project back into a document.
//
// Reading repairs instead of failing: an absent, out-of-range or dangling value gets its
// default or is dropped, so the only document refused is one without "Uid". A task without
// "Uid" goes with its subtree, and so does a task without children that lacks "Start" or
// "Finish"; a tree without a usable root gets a default root (task 0, today to tomorrow).
// A task's own dates are kept as the model's setters keep them: inside the document span (today
// and tomorrow stand in for dates outside it) and never finishing before they start; a group
// whose children all drop out gets whole days for its placeholder dates.
// Predecessor links survive only between tasks of one sub-project (or of the root's level
// outside every project task); links that cross a project border are dropped with a debug
// line. Members are looked up by id as the team finds them (the last member of a repeated id).
// Repeated task ids never tie two tasks together: the registry holds the last such task in
// document order.
//
// Writing leaves out what is empty (see the record types for the keys) and cannot fail; it
// makes, on first use, the parts of the project the model makes lazily anyway (the calendar, a
// root, a task's links and baseline objects). Reading a written document gives the same
// project again.
//
// Stateless: any thread may map, as long as nobody changes a project while it is being written.
// Neither direction recurses, whatever the depth of the tree.
//
// Example:
//   const std::shared_ptr<OrbProject> project = DataMapService::map(*document._data);
//   if (!project) { /* no "Uid" */ }
//   JsonProjectData saving;
//   saving._data = DataMapService::map(*project);
class DataMapService {
public:
    using Task = std::shared_ptr<OrbProjectTask>;

    // --- Document to project ---

    // A complete project: header, team, task tree (registered), calendar, derived values of
    // groups, links and sequence numbers. Null when "Uid" is absent.
    static std::shared_ptr<OrbProject> map(const JsonProject& jsonProject);

    // The task of `jsonTask` in `project`, with its subtree when `includeChildren`; null when it
    // cannot be made. With a parent the task is appended to the parent's children. The tasks are
    // not registered, their links are not resolved (the ids wait in the predecessor-id buffer)
    // and derived values of groups are not refreshed: the whole-project mapping does that.
    // Requires: `project` is not null; `parent`, when given, is a task of `project`.
    static Task map(const std::shared_ptr<OrbProject>& project, const Task& parent,
                    const JsonTask& jsonTask, bool includeChildren = true);

    // --- Project to document ---

    // The document of `project`, with its task tree under "Root" when `includeTasks`.
    static JsonProject map(const OrbProject& project, bool includeTasks = true);

    // The record of `task`, with its subtree under "Childs" when `includeChildren`.
    static JsonTask map(const OrbProjectTask& task, bool includeChildren = true);
};
