#include "platform/foundation/ProcessLifetime.h"

#include <csignal>
#include <pthread.h>
#include <thread>

#include "platform/foundation/StandardFolders.h"

namespace platform {
namespace {

sigset_t terminationSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

// Waits for SIGINT or SIGTERM on a thread of its own, where removing folders is ordinary code
// rather than a signal handler's, then ends the process by the same signal, as it would have
// ended without us. Every other thread inherits the blocked mask, so only this one takes them.
[[noreturn]] void awaitTermination(sigset_t signals) {
    int signal = 0;
    while (sigwait(&signals, &signal) != 0) {
    }
    removePrivateTemporaryFolders();
    std::signal(signal, SIG_DFL);
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    std::raise(signal);
    std::_Exit(128 + signal);
}

}  // namespace

ProcessLifetime::ProcessLifetime() {
    std::signal(SIGXFSZ, SIG_IGN);
    removeAbandonedTemporaryFolders();
    const sigset_t signals = terminationSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread(awaitTermination, signals).detach();
}

ProcessLifetime::~ProcessLifetime() {
    removePrivateTemporaryFolders();
}

}  // namespace platform
