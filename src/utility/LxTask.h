#pragma once

#include <concepts>
#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/dispatch/Queue.h"
#include "platform/foundation/AnyError.h"
#include "platform/foundation/Result.h"

// A description of asynchronous work that reports success or an error through a controller, and
// the combinators that run several such tasks side by side (`group`) or one after another
// (`sequence`).
//
// A task is a value; performing it queues its closure, which reports through `finish()` or
// `fail(error)`, from any thread, whenever it is done. A closure that never reports leaves
// whoever waits for it (a group, a sequence, the handler) waiting for ever.
//
// Example:
//   const LxTask upload([](LxTask::Controller controller) {
//       send(data, [controller](bool ok) { ok ? controller.finish() : controller.fail(Failed());
//       });
//   });
//   LxTask::sequence({prepare, upload}).perform(mainQueue(), [](LxTask::Outcome outcome) {...});
class LxTask {
public:
    using Outcome = platform::Result<void>;
    using Handler = std::function<void(Outcome)>;

    // The queue a task was performed on and the handler of its outcome.
    class Controller {
    public:
        Controller(platform::dispatch::QueuePtr queue, Handler handler)
            : queue_(std::move(queue)), handler_(std::move(handler)) {}

        const platform::dispatch::QueuePtr& queue() const { return queue_; }

        // Call the handler on this thread, with success or with the error.
        void finish() const;
        void fail(platform::AnyError error) const;

    private:
        platform::dispatch::QueuePtr queue_;
        Handler handler_;
    };

    template <class F>
    requires std::invocable<F&, Controller>
    explicit LxTask(F closure) : closure_(std::move(closure)) {}

    // A task that calls `closure` once and reports what it answers.
    template <class F>
    requires(!std::invocable<F&, Controller> && std::invocable<F&> &&
             std::same_as<std::invoke_result_t<F&>, Outcome>) explicit LxTask(F closure)
        : closure_([closure = std::move(closure)](const Controller& controller) mutable {
              report(controller, closure());
          }) {}

    // Queues the closure on `on`; `then` receives its outcome.
    void perform(platform::dispatch::QueuePtr on, Handler then) const;
    // The same on the global queue of class default.
    void perform(Handler then) const;

    // Performs every task at once on the controller's queue and reports when all have reported:
    // success, or the first failure to be recorded. Tasks keep running after one has failed.
    // No tasks: success at once. A task that reports more than once counts once.
    static LxTask group(std::vector<LxTask> tasks);

    // Performs the tasks one after another, each once the one before has succeeded; the first
    // failure is reported at once and the rest are not started. The position is kept by the
    // sequence task and shared by all of its performances (and copies): performing it again
    // continues after the last task reached, and once at the end it succeeds at once.
    static LxTask sequence(std::vector<LxTask> tasks);

private:
    static void report(const Controller& controller, const Outcome& outcome);

    std::function<void(const Controller&)> closure_;
};
