#include "LxOrbinDocument/Model/Project/OrbTaskRegistry.h"

#include <algorithm>
#include <utility>

#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"

namespace {

// Below this many slots the vector is used whatever the count: a small plan numbered from 1
// never reaches the map.
constexpr std::size_t kLeastDenseSize = 64;

}  // namespace

OrbTaskRegistry::Task OrbTaskRegistry::find(std::int64_t id) const {
    if (isDense(id)) {
        return _dense[static_cast<std::size_t>(id)];
    }
    const auto found = _sparse.find(id);
    return found == _sparse.end() ? nullptr : found->second;
}

void OrbTaskRegistry::set(std::int64_t id, const Task& task) {
    if (isDense(id) || widenFor(id)) {
        Task& slot = _dense[static_cast<std::size_t>(id)];
        if (!slot) {
            ++_count;
        }
        slot = task;
        return;
    }
    if (_sparse.insert_or_assign(id, task).second) {
        ++_count;
    }
}

bool OrbTaskRegistry::erase(std::int64_t id) {
    if (isDense(id)) {
        Task& slot = _dense[static_cast<std::size_t>(id)];
        if (!slot) {
            return false;
        }
        slot.reset();
        --_count;
        return true;
    }
    if (_sparse.erase(id) == 0) {
        return false;
    }
    --_count;
    return true;
}

// The vector at least doubles when it widens, so ids handed out one after another widen it a
// logarithmic number of times; entries of the map that fall inside the new range move over,
// since a look-up asks the vector alone for ids in its range.
bool OrbTaskRegistry::widenFor(std::int64_t id) {
    if (id < 0) {
        return false;
    }
    const auto wanted = static_cast<std::uint64_t>(id) + 1;
    const std::uint64_t limit = std::max<std::uint64_t>(kLeastDenseSize, 2 * (_count + 1));
    if (wanted > limit) {
        return false;
    }
    widenTo(std::max<std::size_t>(
        {static_cast<std::size_t>(wanted), 2 * _dense.size(), kLeastDenseSize}));
    return true;
}

void OrbTaskRegistry::widenTo(std::size_t size) {
    _dense.resize(size);
    for (auto entry = _sparse.begin(); entry != _sparse.end();) {
        if (isDense(entry->first)) {
            _dense[static_cast<std::size_t>(entry->first)] = std::move(entry->second);
            entry = _sparse.erase(entry);
        } else {
            ++entry;
        }
    }
}

void OrbTaskRegistry::reserveIdsBelow(std::int64_t endId) {
    if (endId > 0 && static_cast<std::uint64_t>(endId) > _dense.size()) {
        widenTo(static_cast<std::size_t>(endId));
    }
}
