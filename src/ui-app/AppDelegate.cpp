#include "ui-app/AppDelegate.h"

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

void centreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    const QRect frame = window->frameGeometry();
    window->move(screen->availableGeometry().center() - frame.center() + frame.topLeft());
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
    window_->raise();
    window_->activateWindow();
    services_.userInterface->attach(window_.get());
}
