#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/reactive/AnyCancellable.h"
#include "ui-kit/LxHudManager.h"

namespace {

using platform::reactive::AnyCancellable;

std::string describe(const LxHudEvent& event) {
    switch (event.kind()) {
        case LxHudEvent::Kind::willPresent:
            return "willPresent";
        case LxHudEvent::Kind::didPresented:
            return "didPresented";
        case LxHudEvent::Kind::willDismiss:
            return event.manually() ? "willDismiss(manually)" : "willDismiss";
        case LxHudEvent::Kind::didDismissed:
            return event.manually() ? "didDismissed(manually)" : "didDismissed";
    }
    return "?";
}

// Runs a script of operations on one manager and its sessions and writes down, in order, what
// an observer sees: the manager's change notices ("change"), the flag's values ("flag 1"), and
// every session event with the session's and the manager's flags at that moment.
class HudScript {
public:
    HudScript() : manager_(LxHudManager::create()) {
        subscriptions_.push_back(
            manager_->objectWillChange().sink([this](const auto&) { log_ << "change; "; }));
        subscriptions_.push_back(manager_->presentedPublisher().sink([this](const bool& flag) {
            if (subscribed_) {
                log_ << "flag " << flag << "; ";
            }
        }));
        subscribed_ = true;
    }

    // Operations, separated by ", ": "new", "new uncancellable", "start #k", "close #k",
    // "flag false" (outside code writes the manager's flag), "drop manager".
    std::string run(const std::string& script) {
        std::istringstream operations(script);
        std::string operation;
        while (std::getline(operations, operation, ',')) {
            operation.erase(0, operation.find_first_not_of(' '));
            log_ << operation << ": ";
            perform(operation);
        }
        std::string log = log_.str();
        return log.substr(0, log.size() - 2);
    }

    const std::vector<std::shared_ptr<LxHudSession>>& sessions() const { return sessions_; }

private:
    void perform(const std::string& operation) {
        if (operation == "new" || operation == "new uncancellable") {
            auto session = manager_ ? manager_->newSession(operation == "new") : nullptr;
            if (!session) {
                log_ << "none; ";
                return;
            }
            sessions_.push_back(session);
            const std::size_t number = sessions_.size();
            log_ << "#" << number << (session->cancellable() ? "" : " uncancellable") << "; ";
            subscriptions_.push_back(session->eventPublisher().sink(
                [this, number, weak = std::weak_ptr(session)](const LxHudEvent& event) {
                    log_ << "#" << number << " " << describe(event) << " (session "
                         << weak.lock()->presented() << ", manager "
                         << (manager_ ? std::to_string(manager_->presented()) : "gone") << "); ";
                }));
        } else if (operation.starts_with("start #")) {
            sessions_.at(std::stoul(operation.substr(7)) - 1)->start();
        } else if (operation.starts_with("close #")) {
            sessions_.at(std::stoul(operation.substr(7)) - 1)->close();
        } else if (operation == "flag false") {
            manager_->setPresented(false);
        } else if (operation == "drop manager") {
            manager_.reset();
        } else {
            ADD_FAILURE() << "unknown operation " << operation;
        }
    }

    std::shared_ptr<LxHudManager> manager_;
    std::vector<std::shared_ptr<LxHudSession>> sessions_;
    std::vector<AnyCancellable> subscriptions_;
    std::ostringstream log_;
    bool subscribed_ = false;
};

struct HudScenario {
    std::string name;
    std::string script;
    std::string seen;
};

TEST(LxHudManagerTest, OperationsSendTheirEventsAndNoticesInOrder) {
    const std::vector<HudScenario> scenarios = {
        {"a new session raises the flag at once; a second one is refused",
         "new, new, start #1, new",
         "new: change; flag 1; #1; new: none; "
         "start #1: #1 willPresent (session 0, manager 1); #1 didPresented (session 1, manager 1); "
         "new: none"},
        {"start twice presents once; close lowers both flags between its events",
         "new uncancellable, start #1, start #1, close #1, new",
         "new uncancellable: change; flag 1; #1 uncancellable; "
         "start #1: #1 willPresent (session 0, manager 1); #1 didPresented (session 1, manager 1); "
         "start #1: "
         "close #1: #1 willDismiss (session 1, manager 1); change; flag 0; "
         "#1 didDismissed (session 0, manager 0); "
         "new: change; flag 1; #2"},
        {"closing a session never started sends nothing but frees the manager",
         "new, close #1, new",
         "new: change; flag 1; #1; close #1: change; flag 0; new: change; flag 1; #2"},
        {"a flag lowered by outside code is not lowered again",
         "new, start #1, flag false, close #1",
         "new: change; flag 1; #1; "
         "start #1: #1 willPresent (session 0, manager 1); #1 didPresented (session 1, manager 1); "
         "flag false: change; flag 0; "
         "close #1: #1 willDismiss (session 1, manager 0); #1 didDismissed (session 0, manager 0)"},
        {"a flag lowered by outside code is raised again by start", "new, flag false, start #1",
         "new: change; flag 1; #1; flag false: change; flag 0; "
         "start #1: #1 willPresent (session 0, manager 0); change; flag 1; "
         "#1 didPresented (session 1, manager 1)"},
        // Kept as the model has always behaved: the stale session frees the newer one's slot.
        {"a stale session closed again makes the manager forget the newer session",
         "new, close #1, new, close #1, new",
         "new: change; flag 1; #1; close #1: change; flag 0; new: change; flag 1; #2; "
         "close #1: change; flag 0; new: change; flag 1; #3"},
        {"a closed session started again raises the flag only for a session the manager holds",
         "new, start #1, close #1, start #1, close #1, new, flag false, start #1",
         "new: change; flag 1; #1; "
         "start #1: #1 willPresent (session 0, manager 1); #1 didPresented (session 1, manager 1); "
         "close #1: #1 willDismiss (session 1, manager 1); change; flag 0; "
         "#1 didDismissed (session 0, manager 0); "
         "start #1: #1 willPresent (session 0, manager 0); #1 didPresented (session 1, manager 0); "
         "close #1: #1 willDismiss (session 1, manager 0); #1 didDismissed (session 0, manager 0); "
         "new: change; flag 1; #2; flag false: change; flag 0; "
         "start #1: #1 willPresent (session 0, manager 0); change; flag 1; "
         "#1 didPresented (session 1, manager 1)"},
        {"without its manager a session still sends its events and flips its own flag",
         "new, drop manager, start #1, close #1",
         "new: change; flag 1; #1; drop manager: "
         "start #1: #1 willPresent (session 0, manager gone); "
         "#1 didPresented (session 1, manager gone); "
         "close #1: #1 willDismiss (session 1, manager gone); "
         "#1 didDismissed (session 0, manager gone)"},
    };
    for (const HudScenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        HudScript script;
        EXPECT_EQ(script.run(scenario.script), scenario.seen);
    }
}

TEST(LxHudManagerTest, TheSlotIsFreedOnlyAfterTheLastEventAndNeverWithoutClose) {
    const auto manager = LxHudManager::create();
    auto session = manager->newSession();
    ASSERT_TRUE(session);
    EXPECT_TRUE(session->cancellable());
    EXPECT_FALSE(session->presented());
    session->start();
    std::vector<bool> newSessionsInHandler;
    const AnyCancellable subscription =
        session->eventPublisher().sink([&](const LxHudEvent& event) {
            if (event == LxHudEvent::didDismissed(false)) {
                newSessionsInHandler.push_back(manager->newSession() != nullptr);
            }
        });
    session->close();
    EXPECT_EQ(newSessionsInHandler, std::vector<bool>{false});

    // A session dropped without close keeps the manager busy.
    session = manager->newSession();
    ASSERT_TRUE(session);
    session.reset();
    EXPECT_EQ(manager->newSession(), nullptr);
    EXPECT_TRUE(manager->presented());
}

TEST(LxHudManagerTest, ASessionWhoseLastReferenceGoesInsideItsOwnEventOutlivesTheCall) {
    const auto manager = LxHudManager::create();
    std::shared_ptr<LxHudSession> session = manager->newSession();
    ASSERT_TRUE(session);
    std::weak_ptr<LxHudSession> weak = session;
    std::vector<std::string> seen;
    const auto dropOn = [&](const LxHudEvent& dropping) {
        return session->eventPublisher().sink([&, dropping](const LxHudEvent& event) {
            seen.push_back(describe(event));
            if (event == dropping) {
                session.reset();
            }
        });
    };

    // The caller lets go while the manager still holds the session; the manager's forgetting
    // at the end of close() then releases the last reference.
    AnyCancellable subscription = dropOn(LxHudEvent::willDismiss(false));
    session->start();
    session->close();
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(seen, (std::vector<std::string>{"willPresent", "didPresented", "willDismiss",
                                              "didDismissed"}));
    EXPECT_FALSE(manager->presented());

    // A closed session, no longer held by the manager, dropped while it starts again.
    session = manager->newSession();
    ASSERT_TRUE(session);
    weak = session;
    session->close();
    seen.clear();
    subscription = dropOn(LxHudEvent::willPresent());
    session->start();
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(seen, (std::vector<std::string>{"willPresent", "didPresented"}));
}

}  // namespace
