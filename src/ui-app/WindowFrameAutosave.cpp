#include "ui-app/WindowFrameAutosave.h"

#include <memory>
#include <utility>

#include <QCoreApplication>
#include <QEvent>
#include <QSettings>

#include "platform/dispatch/SerialQueue.h"

namespace {

constexpr const char* kSettingsOwner = "Orbin Combine";
constexpr int kPauseMilliseconds = 500;

QSettings frameSettings() {
    return QSettings(kSettingsOwner, kSettingsOwner);
}

// Writing the settings file waits for the disk (it is synced before it replaces the old one),
// so the writes a pause starts go through this queue off the main thread; every other access
// waits its turn on it, and so reads what was written before.
platform::dispatch::SerialQueue& settingsQueue() {
    static const std::shared_ptr<platform::dispatch::SerialQueue> queue =
        platform::dispatch::SerialQueue::create("window.frames", platform::dispatch::QoS::utility);
    return *queue;
}

void writeFrame(const QString& key, const QByteArray& frame) {
    frameSettings().setValue(key, frame);
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
    connect(&pause_, &QTimer::timeout, this, [this] { saveInBackground(); });
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] { save(); });
    window_->installEventFilter(this);
}

bool WindowFrameAutosave::restore() {
    const QByteArray frame =
        settingsQueue().sync([this] { return frameSettings().value(key_).toByteArray(); });
    return !frame.isEmpty() && window_->restoreGeometry(frame);
}

// On closing and quitting the frame is written before the call returns: nothing may come
// after it to save it.
void WindowFrameAutosave::save() {
    pause_.stop();
    const QByteArray frame = window_->saveGeometry();
    settingsQueue().sync([this, &frame] { writeFrame(key_, frame); });
}

void WindowFrameAutosave::saveInBackground() {
    pause_.stop();
    settingsQueue().async(
        [key = key_, frame = window_->saveGeometry()] { writeFrame(key, frame); });
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
