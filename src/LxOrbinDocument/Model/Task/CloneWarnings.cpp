#include "LxOrbinDocument/Model/Task/CloneWarnings.h"

#include <string>

#include "LxLog/Log.h"
#include "LxOrbinDocument/Model/Project/OrbProjectMember.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"

namespace lx {

void warnTaskNotCloned(const OrbProjectTask& parent, const OrbProjectTask& child,
                       const platform::CallSite& site) {
    Log::warning(
        [&] {
            return "Clone incorrect, as task \"" + Log::escaped(parent.name()) + "\" or \"" +
                   Log::escaped(child.name()) + "\" not be cloned";
        },
        site);
}

void warnMemberNotCloned(std::string_view prefix, const OrbProjectMember& member,
                         const platform::CallSite& site) {
    Log::warning(
        [&] {
            return std::string(prefix) + " member \"" + Log::escaped(member.name()) +
                   "\" is not cloned correctly";
        },
        site);
}

}  // namespace lx
