#pragma once

#include <memory>

// Drains the main queue from the Qt event loop.
//
// While a driver exists, every wake-up of the main queue posts one event to the GUI thread,
// and the event runs the waiting work there (one turn of `platform::dispatch::runPending()`).
// Wake-ups that come while that event is still on its way share it. Nested event loops (a modal
// dialog's) serve the event too, so main work goes on under them. Work queued before the driver
// was made, or before the application object existed, runs in the first turns of the event
// loop.
//
// Make one on the main thread, for as long as the event loop runs; elsewhere it aborts.
//
// Example:
//   QApplication application(argc, argv);
//   platform::qt::MainQueueDriver mainQueueDriver;
//   return application.exec();
namespace platform::qt {

class MainQueueDriver {
public:
    MainQueueDriver();
    ~MainQueueDriver();
    MainQueueDriver(const MainQueueDriver&) = delete;
    MainQueueDriver& operator=(const MainQueueDriver&) = delete;

private:
    class State;
    std::shared_ptr<State> state_;
};

}  // namespace platform::qt
