#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"
#include "platform/foundation/Calendar.h"
#include "utility/DateUnits.h"

// Projects built in memory for the benchmarks: leaves in groups of ten sub-groups of ten, each
// leaf linked to the one before it, as long plans are usually laid out.
namespace bench_projects {

using Task = std::shared_ptr<OrbProjectTask>;

inline constexpr std::int64_t kFanOut = 10;

inline platform::Date monday() {
    return platform::Calendar::current().date({.year = 2024, .month = 5, .day = 6}).value();
}

// Adds `leaves` leaves under the project's root; `onLeaf` gives each leaf its own values.
inline void addGroupedLeafChain(OrbProject& project, std::int64_t leaves,
                                const std::function<void(const Task&, std::int64_t)>& onLeaf) {
    const Task root = project.root();
    std::int64_t nextId = 1;
    Task previousLeaf;
    Task group;
    Task subGroup;
    for (std::int64_t index = 0; index < leaves; ++index) {
        if (index % (kFanOut * kFanOut) == 0) {
            group = project.createChild(root, nextId++, monday(), monday());
        }
        if (index % kFanOut == 0) {
            subGroup = project.createChild(group, nextId++, monday(), monday());
        }
        const platform::Date start = monday() + LxDays(index % 30);
        const Task leaf = project.createChild(subGroup, nextId++, start, start + LxDays(3));
        onLeaf(leaf, index);
        if (previousLeaf) {
            leaf->links().addPredecessor(previousLeaf);
        }
        previousLeaf = leaf;
    }
}

}  // namespace bench_projects
