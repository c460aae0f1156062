#pragma once

#include <string_view>

#include "platform/foundation/CallSite.h"

class OrbProjectMember;
class OrbProjectTask;

// The warnings a clone of a project, a copy of a task for another project and a combine give
// for what they leave out. The names come from a document, so they are written escaped.
namespace lx {

// "Clone incorrect, as task "<parent>" or "<child>" not be cloned"
void warnTaskNotCloned(const OrbProjectTask& parent, const OrbProjectTask& child,
                       const platform::CallSite& site);

// "<prefix> member "<name>" is not cloned correctly"; the prefix names what failed ("Clone
// incorrect, as", "Copying task failed, as").
void warnMemberNotCloned(std::string_view prefix, const OrbProjectMember& member,
                         const platform::CallSite& site);

}  // namespace lx
