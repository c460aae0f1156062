#include "ui-app/AppDelegate.h"

#include <string>
#include <utility>

#include <QLayout>
#include <QScreen>

#include "reactive/LxRxToogleState.h"
#include "ui-app/MainView.h"
#include "ui-app/WindowFrameAutosave.h"

namespace {

constexpr QSize kInitialContentSize(480, 300);
constexpr const char* kFrameAutosaveName = "Orbin Combine";

void centreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    const QRect frame = window->frameGeometry();
    window->move(screen->availableGeometry().center() - frame.center() + frame.topLeft());
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
    window_->resize(window_->size().expandedTo(window_->minimumSizeHint()));
    centreOnScreen(window_.get());
    WindowFrameAutosave::setFrameAutosaveName(window_.get(), kFrameAutosaveName);

    window_->show();
    window_->raise();
    window_->activateWindow();
    services_.userInterface->attach(window_.get());
}
