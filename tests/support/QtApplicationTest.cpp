#include "support/QtApplicationTest.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

void ensureQtApplication() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    // Qt keeps argc and argv for the application's life.
    static int argc = 1;
    static char name[] = "orbin-tests";
    static char* argv[] = {name, nullptr};
    // Not destroyed: Qt's own globals may be gone by the time static destructors run.
    static QApplication* const application = new QApplication(argc, argv);
    (void)application;
}

void QtApplicationTest::SetUp() {
    DispatchTest::SetUp();
    ensureQtApplication();
}

void QtApplicationTest::processEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool QtApplicationTest::processEventsUntil(const std::function<bool()>& predicate,
                                           std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    // Waits for events instead of spinning; the tick bounds each wait, so the deadline is seen
    // even when nothing else happens.
    QTimer tick;
    tick.start(10);
    while (!predicate()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}
