#include "ui-kit/LxHudManager.h"

#include <utility>

LxHudSession::LxHudSession(const std::shared_ptr<LxHudManager>& manager, bool cancellable)
    : manager_(manager), cancellable_(cancellable) {}

void LxHudSession::start() {
    if (presented_) {
        return;
    }
    // A subscriber may drop the last reference to this session while it runs.
    const auto self = shared_from_this();
    eventSubject_.send(LxHudEvent::willPresent());
    // Raised for whichever session the manager holds: a closed session started again raises
    // the flag of a newer one.
    if (const auto manager = manager_.lock(); manager && manager->holdsSession()) {
        manager->setPresentedIfChanged(true);
    }
    presented_ = true;
    eventSubject_.send(LxHudEvent::didPresented());
}

void LxHudSession::close() {
    // The manager's forgetting below may release the last reference to this session.
    const auto self = shared_from_this();
    if (presented_) {
        eventSubject_.send(LxHudEvent::willDismiss(false));
        if (const auto manager = manager_.lock(); manager && manager->holdsSession()) {
            manager->setPresentedIfChanged(false);
        }
        presented_ = false;
        eventSubject_.send(LxHudEvent::didDismissed(false));
    } else if (const auto manager = manager_.lock(); manager && manager->holdsSession()) {
        manager->setPresentedIfChanged(false);
    }
    // Kept as the model has always behaved: the manager forgets whichever session it holds, so
    // a stale session closed a second time frees the slot of a newer one.
    if (const auto manager = manager_.lock()) {
        manager->forgetSession();
    }
}

std::shared_ptr<LxHudManager> LxHudManager::create() {
    return std::shared_ptr<LxHudManager>(new LxHudManager);
}

std::shared_ptr<LxHudSession> LxHudManager::newSession(bool cancellable) {
    // A session dropped without `close()` keeps its slot: the manager stays busy for good.
    if (holdsSession()) {
        return nullptr;
    }
    session_ = std::shared_ptr<LxHudSession>(new LxHudSession(shared_from_this(), cancellable));
    const auto session = session_;
    setPresentedIfChanged(true);
    return session;
}

void LxHudManager::setPresentedIfChanged(bool presented) {
    if (presented_.get() != presented) {
        presented_.set(presented);
    }
}

void LxHudManager::forgetSession() {
    // Released after the slot is empty, so that a session's destruction finds the manager idle.
    const auto forgotten = std::exchange(session_, nullptr);
}
