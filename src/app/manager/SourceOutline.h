#pragma once

#include <cstdint>
#include <memory>

#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"

// The shape of a source's task tree that the output profile records.

// 0 without children; else 1 + the deepest child, where only a common task counts its own
// depth (a milestone or a sub-project counts 0, so sub-project trees are never counted).
std::int64_t outlineDepthOf(const std::shared_ptr<OrbProjectTask>& root);

// Whether a sub-project task lies anywhere below `root`.
bool includesSubProject(const std::shared_ptr<OrbProjectTask>& root);
