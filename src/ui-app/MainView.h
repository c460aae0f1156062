#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QPointer>
#include <QWidget>

#include "reactive/LxRxToogleState.h"
#include "ui-app/AppServices.h"

class LxDialogHost;
class OutputProfileView;
class SourceProjectListView;

// The main window's content: the source list and the output pane side by side, 6 apart and 6
// from the edges, at least 480 high; and over both the error dialog, which shows every text sent
// on the engine's failurePresentRequest.
//
// The panes start at 340 and 520 wide and share extra width in that proportion; the source list
// gives way down to 300, so that the window fits a 1280 × 800 screen at 150 % scaling.
//
// Each text reaches `errorMessage` in a later main-queue turn and shows the dialog; a text that
// arrives while it is up replaces the one shown. While a sheet is up over the window, the error
// shows over that sheet's content instead, as the same card, so that it can be read and closed
// at once. "Close", Escape and Return hide the dialog and leave the last text in the
// state. Main thread only.
//
// Example:
//   window->setCentralWidget(new MainView(LxRxToogleState<std::string>::create(), services));
class MainView final : public QWidget {
public:
    using ErrorMessage = LxRxToogleState<std::string>;

    MainView(std::shared_ptr<ErrorMessage> errorMessage, const AppServices& services,
             QWidget* parent = nullptr);

    const std::shared_ptr<ErrorMessage>& errorMessage() const { return errorMessage_; }
    SourceProjectListView* sourcePane() const { return sourcePane_; }
    OutputProfileView* outputPane() const { return outputPane_; }
    LxDialogHost* dialogHost() const { return dialogHost_; }

private:
    // Shows the error, or hides it, where the user can reach it now.
    void placeError(bool isShown);
    // Puts `sheet`'s content into a dialog host that shows the error over a sheet.
    void hostErrorsIn(QWidget& sheet);
    // The sheet on top of this view's window, none when the window itself is on top.
    QWidget* topSheet() const;
    // Closing the error where it shows closes it in `errorMessage`.
    void closeOnDismiss(const std::shared_ptr<ErrorMessage>& shown);

    const std::shared_ptr<ErrorMessage> errorMessage_;
    // The error as shown in this window and as shown over a sheet; at most one holds a text.
    const std::shared_ptr<ErrorMessage> errorInWindow_ = ErrorMessage::create();
    const std::shared_ptr<ErrorMessage> errorOverSheet_ = ErrorMessage::create();
    QPointer<QWidget> errorSheetHost_;
    bool placingError_ = false;
    SourceProjectListView* sourcePane_ = nullptr;
    OutputProfileView* outputPane_ = nullptr;
    LxDialogHost* dialogHost_ = nullptr;
};

// The error dialog's card: `message` in red on the background colour, 260 wide and wrapped, and
// "Close", which runs `closeHandler`, as do Escape and Return in the card's window.
QWidget* makeErrorMessageDialog(const std::string& message, std::function<void()> closeHandler);
