#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QSettings>

#include "support/FileTestHelpers.h"
#include "ui-app/AppDelegate.h"
#include "ui-app/CombineViewTest.h"
#include "ui-app/MainView.h"
#include "ui-kit/LxDialog.h"

// The application's start-up over the test's engine, panel and workspace, on a full-HD screen,
// with the window frames kept in the test's own settings folder.
class MainWindowTest : public CombineViewTest {
protected:
    // The screen in physical pixels and its scale.
    virtual std::string screenSize() const { return R"("width": 1920, "height": 1080, "dpr": 1)"; }
    // The dots per inch fonts are sized for.
    virtual int logicalDpi() const { return 96; }

    void SetUp() override {
        const std::filesystem::path screens =
            test_files::put(test_files::sandbox() / "screens.json",
                            R"({"screens": [{"name": "screen", "x": 0, "y": 0, "logicalDpi": )" +
                                std::to_string(logicalDpi()) + R"(, "logicalBaseDpi": 96, )" +
                                screenSize() + "}]}");
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens.string()).c_str(), 1);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString((test_files::sandbox() / "config").string()));
        CombineViewTest::SetUp();
        beforeLaunch();
        delegate_ = std::make_unique<AppDelegate>(services());
        delegate_->applicationDidFinishLaunching();
    }

    void TearDown() override {
        delegate_.reset();
        CombineViewTest::TearDown();
    }

    // What the desktop sets up before the application starts.
    virtual void beforeLaunch() {}

    QMainWindow& window() const { return *delegate_->window(); }
    MainView& mainView() const { return *dynamic_cast<MainView*>(window().centralWidget()); }

    // The error dialog's message as shown now; empty while no dialog is up.
    QString shownError() const {
        if (!mainView().dialogHost()->isPresented()) {
            return {};
        }
        for (const QLabel* label : mainView().findChildren<QLabel*>("errorMessage")) {
            if (label->isVisible()) {
                return label->text();
            }
        }
        return {};
    }

    QDialog* sheet() const {
        for (QDialog* dialog : window().findChildren<QDialog*>()) {
            if (dialog->isVisible()) {
                return dialog;
            }
        }
        return nullptr;
    }

    // The window as it looks, with its sheet drawn over it where it lies.
    QImage picture() const {
        QImage image = window().grab().toImage();
        if (QDialog* shown = sheet()) {
            QPainter painter(&image);
            painter.drawPixmap(
                shown->mapToGlobal(QPoint(0, 0)) - window().mapToGlobal(QPoint(0, 0)),
                shown->grab());
        }
        return image;
    }

    std::unique_ptr<AppDelegate> delegate_;
};
