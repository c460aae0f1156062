#include "ui-app/AppDelegate.h"

#include <algorithm>
#include <string>
#include <utility>

#include <QLayout>
#include <QScreen>
#include <QShortcut>

#include "reactive/LxRxToogleState.h"
#include "ui-app/MainView.h"
#include "ui-app/WindowFrameAutosave.h"

namespace {

constexpr QSize kInitialContentSize(480, 300);
constexpr const char* kFrameAutosaveName = "Orbin Combine";

// What the panes ask for, as far as the screen has room, and never below what they need.
QSize initialSize(const QWidget& window) {
    QSize size = window.size().expandedTo(window.sizeHint());
    if (const QScreen* screen = window.screen()) {
        size = size.boundedTo(screen->availableGeometry().size());
    }
    return size.expandedTo(window.minimumSizeHint());
}

// Centred, and where the frame is as wide or high as the screen, flush with its top left edge
// rather than one pixel past it.
void centreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    QPoint topLeft = available.center() - frame.center() + frame.topLeft();
    topLeft.setX(std::max(topLeft.x(), available.left()));
    topLeft.setY(std::max(topLeft.y(), available.top()));
    window->move(topLeft);
}

// Once shown the window has its frame; a frame larger than the screen's free area is narrowed
// or lowered to fit it, never below what the panes need.
void keepFrameOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    if (available.contains(frame)) {
        return;
    }
    const QSize margins = frame.size() - window->size();
    window->resize(
        window->size().boundedTo(available.size() - margins).expandedTo(window->minimumSizeHint()));
    centreOnScreen(window);
}

// Ctrl+W and Ctrl+Q, as in every desktop application: closing the one window quits. Spelled
// out, because the platform theme may bind no key at all to QKeySequence::Quit.
void closeOnStandardKeys(QWidget* window) {
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_Q)}) {
        auto* shortcut = new QShortcut(key, window);
        QObject::connect(shortcut, &QShortcut::activated, window, &QWidget::close);
    }
}

}  // namespace

AppDelegate::AppDelegate(AppServices services) : services_(std::move(services)) {}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching() {
    setupMainWindow();
}

// The view is put in before the window is sized and centred, because its panes decide how
// large the window must be; a frame remembered from an earlier run wins over the centred one.
void AppDelegate::setupMainWindow() {
    const auto errorMessage = MainView::ErrorMessage::create();
    window_ = std::make_unique<QMainWindow>();
    window_->setCentralWidget(new MainView(errorMessage, services_));
    window_->resize(kInitialContentSize);
    window_->layout()->activate();
    window_->resize(initialSize(*window_));
    centreOnScreen(window_.get());
    closeOnStandardKeys(window_.get());
    WindowFrameAutosave::setFrameAutosaveName(window_.get(), kFrameAutosaveName);

    window_->show();
    keepFrameOnScreen(window_.get());
    window_->raise();
    window_->activateWindow();
    services_.userInterface->attach(window_.get());
}
