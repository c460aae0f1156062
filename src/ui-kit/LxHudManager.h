#pragma once

#include <memory>

#include "platform/reactive/AnyPublisher.h"
#include "platform/reactive/ObservableObject.h"
#include "platform/reactive/PassthroughSubject.h"

// A moment in the life of a progress HUD, in life-cycle order. The dismiss moments say whether
// the HUD was dismissed by hand (`manually`).
class LxHudEvent {
public:
    enum class Kind { willPresent, didPresented, willDismiss, didDismissed };

    static LxHudEvent willPresent() { return LxHudEvent(Kind::willPresent, false); }
    static LxHudEvent didPresented() { return LxHudEvent(Kind::didPresented, false); }
    static LxHudEvent willDismiss(bool manually) { return LxHudEvent(Kind::willDismiss, manually); }
    static LxHudEvent didDismissed(bool manually) {
        return LxHudEvent(Kind::didDismissed, manually);
    }

    Kind kind() const { return kind_; }
    // Always false for the present moments.
    bool manually() const { return manually_; }

    friend bool operator==(const LxHudEvent&, const LxHudEvent&) = default;

private:
    LxHudEvent(Kind kind, bool manually) : kind_(kind), manually_(manually) {}

    Kind kind_;
    bool manually_;
};

class LxHudManager;

// A ticket for putting the HUD up: `start()` announces it, `close()` takes it down and hands
// the ticket back to the manager. Made only by LxHudManager::newSession.
//
// The session refers to its manager weakly: once the manager is gone, `start()` and `close()`
// still send their events and flip the session's own flag. Releasing a session sends nothing
// and touches no flag. Main thread only when views watch the manager.
class LxHudSession final : public std::enable_shared_from_this<LxHudSession> {
public:
    LxHudSession(const LxHudSession&) = delete;
    LxHudSession& operator=(const LxHudSession&) = delete;

    // True between a `start()` and the next `close()`.
    bool presented() const { return presented_; }
    // Kept for the owner; nothing here reads it.
    bool cancellable() const { return cancellable_; }

    // The events sent after the subscription, delivered inside `start()` and `close()` on
    // their thread; no replay.
    platform::reactive::AnyPublisher<LxHudEvent> eventPublisher() const { return eventSubject_; }

    // willPresent, the manager's flag raised (if it holds a session), own flag, didPresented.
    // Does nothing while presented.
    void start();
    // When presented: willDismiss(false), the manager's flag lowered (if it holds a session),
    // own flag, didDismissed(false). Otherwise only the manager's flag. Then, in both cases,
    // the manager forgets its session, whichever it holds.
    void close();

private:
    friend class LxHudManager;

    LxHudSession(const std::shared_ptr<LxHudManager>& manager, bool cancellable);

    std::weak_ptr<LxHudManager> manager_;
    platform::reactive::PassthroughSubject<LxHudEvent> eventSubject_;
    bool presented_ = false;
    bool cancellable_;
};

// Decides who may put the HUD up: room for one session at a time, and a published flag,
// `presented`, that a HUD view can be bound to.
//
// Outside code may write the flag at any time (a HUD's cancel button does) without touching
// the session.
//
// Example:
//   if (auto session = hudManager->newSession()) {
//       session->start();
//       ...
//       session->close();
//   }
class LxHudManager final : public platform::reactive::ObservableObject,
                           public std::enable_shared_from_this<LxHudManager> {
public:
    static std::shared_ptr<LxHudManager> create();

    bool presented() const { return presented_.get(); }
    // Every write notifies (objectWillChange, then the value), also of an equal value.
    void setPresented(bool presented) { presented_.set(presented); }
    // The current flag at once, then every write.
    platform::reactive::AnyPublisher<bool> presentedPublisher() const {
        return presented_.publisher();
    }

    // A new session, held by the manager until a session's `close()`, with the flag raised at
    // once; none while the manager holds one, started or not.
    std::shared_ptr<LxHudSession> newSession(bool cancellable = true);

private:
    friend class LxHudSession;

    LxHudManager() = default;

    bool holdsSession() const { return session_ != nullptr; }
    void setPresentedIfChanged(bool presented);
    void forgetSession();

    platform::reactive::Published<bool> presented_{*this, false};
    std::shared_ptr<LxHudSession> session_;
};
