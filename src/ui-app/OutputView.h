#pragma once

#include <memory>
#include <optional>
#include <string>

#include <QWidget>

#include "app/manager/AppEvents.h"
#include "platform/qt/Sheet.h"
#include "platform/qt/Workspace.h"

// The desktop-file ids of the main planning application's two editions, in the order they are
// looked for.
inline constexpr const char* kMainEditionAppId = "app.orbin.Orbin";
inline constexpr const char* kOtherEditionAppId = "app.orbin.Orbin.Classic";

// The result sheet's content after a combined project was saved: the success, the saved path
// (centred, wrapped as long as it needs), and "Show in Folder", "Open in Orbin" and "Close".
//
// Only "Close" closes the sheet. "Close" has the focus when the sheet shows; Return and Enter
// press the focused button. Opening fails with a text on
// `events`' failurePresentRequest (sent at once): when neither edition is installed, or when
// the one found does not start. Showing the file fails there too, when neither the file manager
// nor the folder's default handler could show it. Main thread only.
//
// Example:
//   platform::qt::sheet(pane, isSomeBinding(saved), [=](const platform::qt::Dismiss& dismiss) {
//       return new OutputView(*saved->value(), workspace, events, dismiss);
//   });
class QPushButton;

class OutputView final : public QWidget {
public:
    OutputView(std::string urlString, std::shared_ptr<platform::qt::Workspace> workspace,
               AppEvents events, platform::qt::Dismiss dismiss, QWidget* parent = nullptr);

    const std::string& urlString() const { return urlString_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void revealInFinder();
    void openInMainApplication();
    std::optional<std::filesystem::path> findMainApplicationURL();

    const std::string urlString_;
    const std::shared_ptr<platform::qt::Workspace> workspace_;
    const AppEvents events_;
    QPushButton* close_ = nullptr;
};
