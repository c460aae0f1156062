#include "ui-app/WindowFrameAutosave.h"

#include <utility>

#include <QCoreApplication>
#include <QEvent>
#include <QSettings>

namespace {

constexpr const char* kSettingsOwner = "Orbin Combine";
constexpr int kPauseMilliseconds = 500;

QSettings frameSettings() {
    return QSettings(kSettingsOwner, kSettingsOwner);
}

}  // namespace

bool WindowFrameAutosave::setFrameAutosaveName(QWidget* window, const QString& name) {
    auto* autosave = new WindowFrameAutosave(window, "WindowFrames/" + name);
    return autosave->restore();
}

// Saved after a pause rather than on every step of a drag, which would write the settings file
// dozens of times a second.
WindowFrameAutosave::WindowFrameAutosave(QWidget* window, QString key)
    : QObject(window), window_(window), key_(std::move(key)) {
    pause_.setSingleShot(true);
    pause_.setInterval(kPauseMilliseconds);
    connect(&pause_, &QTimer::timeout, this, [this] { save(); });
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] { save(); });
    window_->installEventFilter(this);
}

bool WindowFrameAutosave::restore() {
    const QByteArray frame = frameSettings().value(key_).toByteArray();
    return !frame.isEmpty() && window_->restoreGeometry(frame);
}

void WindowFrameAutosave::save() {
    pause_.stop();
    frameSettings().setValue(key_, window_->saveGeometry());
}

bool WindowFrameAutosave::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
            pause_.start();
        } else if (event->type() == QEvent::Close) {
            save();
        }
    }
    return QObject::eventFilter(watched, event);
}
