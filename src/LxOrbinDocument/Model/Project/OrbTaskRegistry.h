#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class OrbProjectTask;

// A project's tasks by id: the look-up behind `OrbProject::findTask` and the owner of every
// registered task.
//
// Ids of a plan are small and close together (the application and a combine hand them out one
// after another), so an id below about twice the number of entries is kept in a vector at its
// own index: no node per entry, and tasks registered in id order lie in memory in that order
// when they are released. Other ids (negative, or far beyond the count, as a damaged file may
// carry) go to a hash map, so a few huge ids cost no memory. Which of the two holds an id is
// invisible to callers.
//
// A later entry for an id replaces the earlier one. The order in which entries are released is
// not part of the contract. Not thread-safe: one thread edits a project at a time.
class OrbTaskRegistry {
public:
    using Task = std::shared_ptr<OrbProjectTask>;

    OrbTaskRegistry() = default;
    OrbTaskRegistry(const OrbTaskRegistry&) = delete;
    OrbTaskRegistry& operator=(const OrbTaskRegistry&) = delete;

    std::size_t size() const { return _count; }
    // The entry for `id`; null when there is none.
    Task find(std::int64_t id) const;
    // Requires: `task` is not null.
    void set(std::int64_t id, const Task& task);
    // Whether there was an entry to remove.
    bool erase(std::int64_t id);
    // Keeps the ids below `endId` in the vector from now on, for a caller about to register
    // that many tasks one by one: the vector is made once instead of doubling its way there.
    void reserveIdsBelow(std::int64_t endId);

private:
    bool isDense(std::int64_t id) const {
        return id >= 0 && static_cast<std::uint64_t>(id) < _dense.size();
    }
    // Widens the vector to hold `id` when that keeps it within a small multiple of the count;
    // answers whether it now does.
    bool widenFor(std::int64_t id);
    // Makes the vector `size` long and moves the map's entries that now fall into it.
    void widenTo(std::size_t size);

    std::vector<Task> _dense;
    std::unordered_map<std::int64_t, Task> _sparse;
    std::size_t _count = 0;
};
