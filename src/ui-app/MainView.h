#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QWidget>

#include "reactive/LxRxToogleState.h"
#include "ui-app/AppServices.h"

class LxDialogHost;
class OutputProfileView;
class SourceProjectListView;

// The main window's content: the source list (340 wide) and the output pane (520 wide) side by
// side, 6 apart and 6 from the edges, at least 480 high and centred; and over both the error
// dialog, which shows every text sent on the engine's failurePresentRequest.
//
// Each text reaches `errorMessage` in a later main-queue turn and shows the dialog; a text that
// arrives while it is up replaces the one shown. "Close" hides the dialog and leaves the last
// text in the state. Main thread only.
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
    const std::shared_ptr<ErrorMessage> errorMessage_;
    SourceProjectListView* sourcePane_ = nullptr;
    OutputProfileView* outputPane_ = nullptr;
    LxDialogHost* dialogHost_ = nullptr;
};

// The error dialog's card: `message` in red on the background colour, 260 wide and wrapped, and
// "Close", which runs `closeHandler`.
QWidget* makeErrorMessageDialog(const std::string& message, std::function<void()> closeHandler);
