#pragma once

#include <chrono>
#include <functional>

#include "support/DispatchTest.h"

// Makes the process's one QApplication (on the offscreen platform under CTest) if there is none
// yet; it lives until the process ends. Tests that must queue work before it exists call it
// themselves.
void ensureQtApplication();

// The base of tests with widgets or Qt's event loop: the application exists from SetUp on.
class QtApplicationTest : public DispatchTest {
protected:
    void SetUp() override;

    // Handles pending Qt events, deletions asked for with deleteLater() included.
    static void processEvents();

    // Handles Qt events until `predicate` holds (true) or `timeout` has passed (false). Main
    // work runs only where a main-queue driver exists.
    static bool processEventsUntil(const std::function<bool()>& predicate,
                                   std::chrono::milliseconds timeout = std::chrono::seconds(5));
};
