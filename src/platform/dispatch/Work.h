#pragma once

#include <concepts>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace platform::dispatch {

// One piece of work handed to a queue: any callable without arguments, run at most once.
//
// Work is move-only, so it may own what it captures (a promise, a unique_ptr); a queue moves it
// in, runs it once and destroys it. Running an empty `Work` does nothing.
//
// Example:
//   queue->async([project = std::move(project)] { save(*project); });
class Work {
public:
    Work() = default;

    template <class F>
    requires(!std::same_as<std::remove_cvref_t<F>, Work> && std::invocable<std::decay_t<F>&>)
        Work(F&& function)  // NOLINT(google-explicit-constructor): any callable is work
        : callable_(std::make_unique<Model<std::decay_t<F>>>(std::forward<F>(function))) {}

    Work(Work&&) noexcept = default;
    Work& operator=(Work&&) noexcept = default;

    explicit operator bool() const noexcept { return callable_ != nullptr; }

    void operator()() {
        if (callable_) {
            callable_->run();
        }
    }

private:
    struct Callable {
        virtual ~Callable() = default;
        virtual void run() = 0;
    };

    template <class F>
    struct Model final : Callable {
        template <class G>
        explicit Model(G&& function) : function(std::forward<G>(function)) {}
        void run() override { std::invoke(function); }
        F function;
    };

    std::unique_ptr<Callable> callable_;
};

}  // namespace platform::dispatch
