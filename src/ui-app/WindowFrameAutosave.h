#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>

// A window's frame remembered under a name from one run to the next, as desktops remember the
// frames of their windows.
//
// The frame saved earlier under the name is restored at once (a frame that lies off every
// screen is brought back onto one); from then on the frame is saved once moves and resizes have
// paused, when the window closes and when the application quits. Frames are kept in the user's
// settings of "Orbin Combine" (QSettings), under "WindowFrames/<name>"; a save after a pause is
// written off the main thread. Main thread only.
//
// Example:
//   WindowFrameAutosave::setFrameAutosaveName(window, "Orbin Combine");
class WindowFrameAutosave final : public QObject {
public:
    // Restores `window`'s frame saved under `name` and keeps saving it; answers whether a saved
    // frame was restored. The autosave lives as long as the window.
    static bool setFrameAutosaveName(QWidget* window, const QString& name);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowFrameAutosave(QWidget* window, QString key);

    bool restore();
    void save();
    void saveInBackground();

    QWidget* window_;
    const QString key_;
    QTimer pause_;
};
