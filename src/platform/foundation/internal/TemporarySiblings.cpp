#include "platform/foundation/internal/TemporarySiblings.h"

#include <atomic>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace platform::internal {
namespace {

// A slot is free, being filled by its writer, holding a path, or being read by the removal.
// Only the owner of a transition writes the path, so the removal never reads one half-written,
// and a slot the removal has taken is never handed out again: the process is ending.
enum State : int { kFree, kFilling, kHeld, kRemoving };

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};

// Saves of this program write a few files at once at most; unpacking writes one at a time.
constexpr int kSlotCount = 64;
Slot slots[kSlotCount];

static_assert(std::atomic<int>::is_always_lock_free);

}  // namespace

TemporarySibling::TemporarySibling(const char* path) noexcept : slot_(-1) {
    const std::size_t length = std::strlen(path);
    if (length >= PATH_MAX) {
        return;
    }
    for (int index = 0; index < kSlotCount; ++index) {
        int expected = kFree;
        if (slots[index].state.compare_exchange_strong(expected, kFilling)) {
            std::memcpy(slots[index].path, path, length + 1);
            slots[index].state.store(kHeld, std::memory_order_release);
            slot_ = index;
            return;
        }
    }
}

void TemporarySibling::forget() noexcept {
    if (slot_ < 0) {
        return;
    }
    int expected = kHeld;
    // Fails only when the removal has the slot; it keeps it.
    slots[slot_].state.compare_exchange_strong(expected, kFree);
    slot_ = -1;
}

void removeTemporarySiblings() noexcept {
    for (Slot& slot : slots) {
        int expected = kHeld;
        if (slot.state.compare_exchange_strong(expected, kRemoving, std::memory_order_acquire)) {
            ::unlink(slot.path);
        }
    }
}

}  // namespace platform::internal
