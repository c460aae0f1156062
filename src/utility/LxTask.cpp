#include "utility/LxTask.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>

#include "platform/dispatch/ConcurrentQueue.h"
#include "platform/dispatch/Group.h"
#include "platform/dispatch/SerialQueue.h"

namespace {

using platform::AnyError;
using platform::dispatch::QueuePtr;
using Outcome = LxTask::Outcome;

// A sub-task that reports twice would leave its group twice (a fatal error) or start two next
// steps of its sequence; only its first report counts.
LxTask::Handler firstReportOnly(LxTask::Handler handler) {
    return [reported = std::make_shared<std::atomic<bool>>(false),
            handler = std::move(handler)](Outcome outcome) {
        if (!reported->exchange(true)) {
            handler(std::move(outcome));
        }
    };
}

struct SequenceState {
    explicit SequenceState(std::vector<LxTask> tasks) : tasks(std::move(tasks)) {}
    const std::vector<LxTask> tasks;
    // Shared by every performance, which may run at the same time.
    std::atomic<std::size_t> next{0};
};

void performNextStep(const std::shared_ptr<SequenceState>& state,
                     const LxTask::Controller& controller) {
    std::size_t index = state->next.load();
    do {
        if (index >= state->tasks.size()) {
            controller.finish();
            return;
        }
    } while (!state->next.compare_exchange_weak(index, index + 1));
    state->tasks[index].perform(controller.queue(),
                                firstReportOnly([state, controller](Outcome outcome) {
                                    if (const auto error = outcome.error()) {
                                        controller.fail(*error);
                                    } else {
                                        performNextStep(state, controller);
                                    }
                                }));
}

}  // namespace

void LxTask::Controller::finish() const {
    handler_(Outcome::success());
}

void LxTask::Controller::fail(AnyError error) const {
    handler_(Outcome::failure(std::move(error)));
}

void LxTask::report(const Controller& controller, const Outcome& outcome) {
    if (const auto error = outcome.error()) {
        controller.fail(*error);
    } else {
        controller.finish();
    }
}

void LxTask::perform(QueuePtr on, Handler then) const {
    Controller controller(on, std::move(then));
    on->async([closure = closure_, controller = std::move(controller)] { closure(controller); });
}

void LxTask::perform(Handler then) const {
    perform(platform::dispatch::globalQueue(platform::dispatch::QoS::default_), std::move(then));
}

LxTask LxTask::group(std::vector<LxTask> tasks) {
    return LxTask([tasks = std::move(tasks)](const Controller& controller) {
        const auto group = platform::dispatch::Group::create();
        const auto errorQueue = platform::dispatch::SerialQueue::create("task.error_sync");
        // Touched only on `errorQueue`.
        const auto firstError = std::make_shared<std::optional<AnyError>>();
        for (const LxTask& task : tasks) {
            group->enter();
            task.perform(controller.queue(),
                         firstReportOnly([group, errorQueue, firstError](Outcome outcome) {
                             if (const auto error = outcome.error()) {
                                 errorQueue->sync([&] {
                                     if (!*firstError) {
                                         *firstError = *error;
                                     }
                                 });
                             }
                             group->leave();
                         }));
        }
        group->notify(controller.queue(), [controller, errorQueue, firstError] {
            const auto error = errorQueue->sync([&] { return *firstError; });
            if (error) {
                controller.fail(*error);
            } else {
                controller.finish();
            }
        });
    });
}

LxTask LxTask::sequence(std::vector<LxTask> tasks) {
    return LxTask([state = std::make_shared<SequenceState>(std::move(tasks))](
                      const Controller& controller) { performNextStep(state, controller); });
}
