#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "app/manager/CombineManager.h"

// The member id maps of one combine, one per source index: which member of the combined team
// stands for each member of that source. Made at the start of a combine and dropped at its end;
// used by the one thread that runs it.
//
// Example:
//   CombineManager::CombineCache cache;
//   cache.registerMember(1, 4, 2);            // member 4 of source 1 is combined member 2
//   cache.caches.at(1)->memberMap.at(4);      // 2
class CombineManager::CombineCache {
public:
    // The map of one source.
    class ProjectCache {
    public:
        explicit ProjectCache(std::int64_t projectIndex) : projectIndex(projectIndex) {}

        const std::int64_t projectIndex;
        // Source member id to combined member id.
        std::unordered_map<std::int64_t, std::int64_t> memberMap;
    };

    // Source index to that source's map.
    std::unordered_map<std::int64_t, std::shared_ptr<ProjectCache>> caches;

    // Makes the source's map when it has none; a later call for the same source member replaces
    // the earlier combined id.
    void registerMember(std::int64_t index, std::int64_t sourceMemberId,
                        std::int64_t combinedMemberId);
};
