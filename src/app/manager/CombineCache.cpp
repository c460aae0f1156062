#include "app/manager/CombineCache.h"

void CombineManager::CombineCache::registerMember(std::int64_t index, std::int64_t sourceMemberId,
                                                  std::int64_t combinedMemberId) {
    auto& cache = caches[index];
    if (!cache) {
        cache = std::make_shared<ProjectCache>(index);
    }
    cache->memberMap[sourceMemberId] = combinedMemberId;
}
