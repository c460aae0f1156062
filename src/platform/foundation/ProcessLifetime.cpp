#include "platform/foundation/ProcessLifetime.h"

#include <csignal>
#include <cstdlib>
#include <pthread.h>
#include <thread>

#include "platform/foundation/StandardFolders.h"
#include "platform/foundation/internal/TemporarySiblings.h"

namespace platform {
namespace {

// SIGHUP is the terminal that started the application closing.
sigset_t terminationSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    return signals;
}

// What this process leaves in the file system while it runs.
void removeTemporaryItems() noexcept {
    internal::removeTemporarySiblings();
    removePrivateTemporaryFolders();
}

// Waits for a termination signal on a thread of its own, where removing folders is ordinary
// code rather than a signal handler's, then ends the process by the same signal, as it would
// have ended without us. Every other thread inherits the blocked mask, so only this one takes
// them.
[[noreturn]] void awaitTermination(sigset_t signals) {
    int signal = 0;
    while (sigwait(&signals, &signal) != 0) {
    }
    removeTemporaryItems();
    std::signal(signal, SIG_DFL);
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    std::raise(signal);
    std::_Exit(128 + signal);
}

}  // namespace

ProcessLifetime::ProcessLifetime() {
    std::signal(SIGXFSZ, SIG_IGN);
    removeAbandonedTemporaryFolders();
    // A library that ends the process itself calls exit(): Qt does when the connection to the
    // display breaks ("The X11 connection broke").
    std::atexit(removeTemporaryItems);
    const sigset_t signals = terminationSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread(awaitTermination, signals).detach();
}

ProcessLifetime::~ProcessLifetime() {
    removeTemporaryItems();
}

}  // namespace platform
