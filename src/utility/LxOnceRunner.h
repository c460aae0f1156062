#pragma once

#include <concepts>
#include <functional>
#include <utility>

// Runs a closure at most once over its life. The flag is set before the closure runs, so a
// `run` from inside the closure does nothing. Not locked: used from one thread at a time.
//
// Example:
//   LxOnceRunner firstAppearance;
//   firstAppearance.run([&] { loadPalette(); });
class LxOnceRunner {
public:
    LxOnceRunner() = default;
    LxOnceRunner(const LxOnceRunner&) = delete;
    LxOnceRunner& operator=(const LxOnceRunner&) = delete;

    template <std::invocable F>
    void run(F&& closure) {
        if (executed_) {
            return;
        }
        executed_ = true;
        std::invoke(std::forward<F>(closure));
    }

private:
    bool executed_ = false;
};
