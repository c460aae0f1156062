#pragma once

namespace platform::internal {

// The temporary siblings being written right now (AtomicFileWriter's), known to the process's
// end (ProcessLifetime) so that a signal or an exit in the middle of a large save leaves no
// partial file beside the user's. A fixed table of slots with atomic states and no allocation:
// removeTemporarySiblings() only reads the table and calls unlink(), so it is async-signal-safe,
// and any thread may register and forget at any time.
//
// A path longer than the table's slots hold, or one registered while every slot is taken, is
// not known: its writer still removes it on every ordinary road.
//
// Example:
//   internal::TemporarySibling known(temporaryPath.c_str());  // before the file is created
//   ... write, rename ...
//   known.forget();                                           // once it has its final name
class TemporarySibling {
public:
    explicit TemporarySibling(const char* path) noexcept;
    ~TemporarySibling() { forget(); }
    TemporarySibling(const TemporarySibling&) = delete;
    TemporarySibling& operator=(const TemporarySibling&) = delete;

    // The path is no longer removed at the end; once only, later calls do nothing.
    void forget() noexcept;

private:
    int slot_;
};

// Removes every temporary sibling registered now. Async-signal-safe.
void removeTemporarySiblings() noexcept;

}  // namespace platform::internal
