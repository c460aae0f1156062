#pragma once

#include <memory>

#include <QMainWindow>
#include <QObject>

#include "ui-app/AppServices.h"

// Starts the application's one window once launching has finished: 480 x 300 to start (grown
// to what its panes need), centred, its frame remembered under "Orbin Combine", with the main
// view in it, shown in front, and handed to the holder of the main window, which starts the
// busy overlay. Closing the window ends the application (there is no other way back to it);
// Ctrl+W and Ctrl+Q close it.
//
// Main thread only, after the QApplication and the main queue's driver exist.
//
// Example:
//   AppDelegate delegate(AppServices::shared());
//   QTimer::singleShot(0, &delegate, [&] { delegate.applicationDidFinishLaunching(); });
//   return application.exec();
class AppDelegate final : public QObject {
public:
    explicit AppDelegate(AppServices services);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();

    // Makes the window and everything in it; a second call replaces the window.
    void setupMainWindow();

    // Absent until launching has finished.
    QMainWindow* window() const { return window_.get(); }

private:
    const AppServices services_;
    std::unique_ptr<QMainWindow> window_;
};
