#include "ui-app/OutputView.h"

#include <limits>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "ui-app/LineLimitedLabel.h"
#include "ui-app/ViewStyle.h"
#include "ui-kit/LxColor.h"

namespace {

constexpr int kWidth = 460;
constexpr int kHeight = 150;
constexpr int kButtonPadding = 8;
constexpr int kBottomPadding = 8;

QString localized(const char* key) {
    return QCoreApplication::translate("OutputView", key);
}

QString text(const std::string& value) {
    return QFile::decodeName(QByteArray::fromStdString(value));
}

// Each button takes Return and Enter while it has the focus (a push button in a dialog does).
QPushButton* makeButton(const char* title, const char* objectName) {
    auto* button = new QPushButton(localized(title));
    button->setObjectName(objectName);
    button->setAutoDefault(true);
    return button;
}

QWidget* padded(QWidget* widget, int horizontal) {
    auto* frame = new QWidget;
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(horizontal, 0, horizontal, 0);
    layout->addWidget(widget);
    return frame;
}

}  // namespace

OutputView::OutputView(std::string urlString, std::shared_ptr<platform::qt::Workspace> workspace,
                       AppEvents events, platform::qt::Dismiss dismiss, QWidget* parent)
    : QWidget(parent),
      urlString_(std::move(urlString)),
      workspace_(std::move(workspace)),
      events_(std::move(events)) {
    setFixedSize(kWidth, kHeight);

    auto* success = new QLabel(localized("Projects combined successfully"));
    success->setTextFormat(Qt::PlainText);
    success->setAlignment(Qt::AlignHCenter);
    lx::setTextColor(success,
                     lx::readableTextColor(LxColor::systemGreen(), lx::sheetBackground(this)));
    // A path has few blanks to break at: it wraps anywhere, on as many lines as it needs.
    auto* path =
        new LineLimitedLabel(text(urlString_), std::numeric_limits<int>::max(), Qt::ElideNone);
    path->setObjectName("savedFilePath");
    path->setAlignment(Qt::AlignHCenter);
    QFont light = path->font();
    light.setWeight(QFont::Light);
    path->setFont(light);
    lx::setTextColor(path,
                     lx::readableTextColor(LxColor::tertiaryLabel(), lx::sheetBackground(this),
                                           lx::kLightTextInkContrast));

    auto* reveal = makeButton("Show in Folder", "revealInFinderButton");
    connect(reveal, &QPushButton::clicked, this, [this] { revealInFinder(); });
    auto* open = makeButton("Open in Orbin", "openInOrbinButton");
    connect(open, &QPushButton::clicked, this, [this] { openInMainApplication(); });
    auto* close = makeButton("Close", "resultCloseButton");
    close_ = close;
    connect(close, &QPushButton::clicked, this, [dismiss = std::move(dismiss)] { dismiss(); });
    // Return closes the sheet until the user tabs to another button.
    close->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, kBottomPadding);
    buttons->addWidget(padded(reveal, kButtonPadding));
    buttons->addWidget(padded(open, kButtonPadding));
    buttons->addStretch(1);
    buttons->addWidget(padded(close, lx::defaultPadding(this)));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addStretch(1);
    auto* message = new QVBoxLayout;
    const int margin = lx::defaultPadding(this);
    message->setContentsMargins(margin, 0, margin, 0);
    message->addWidget(success);
    message->addWidget(path);
    layout->addLayout(message);
    layout->addStretch(1);
    layout->addLayout(buttons);
}

void OutputView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    close_->setFocus();
}

// A desktop without a file manager on its bus still shows the folder; only when nothing at all
// could show the file is the user told.
void OutputView::revealInFinder() {
    const auto report = [events = events_] {
        events.failurePresentRequest()->send("Failed to show the project file in its folder");
    };
    if (!workspace_->selectFile(urlString_, "", report)) {
        report();
    }
}

void OutputView::openInMainApplication() {
    const QUrl file = QUrl::fromLocalFile(text(urlString_));
    const std::optional<std::filesystem::path> application = findMainApplicationURL();
    if (!application) {
        events_.failurePresentRequest()->send("Please install Orbin to open the project file");
        return;
    }
    if (!workspace_->openURLs({file}, *application, platform::qt::Workspace::launchesAsynchronously,
                              {})) {
        events_.failurePresentRequest()->send("Failed to open Orbin app");
    }
}

std::optional<std::filesystem::path> OutputView::findMainApplicationURL() {
    if (auto main = workspace_->urlForApplication(kMainEditionAppId)) {
        return main;
    }
    return workspace_->urlForApplication(kOtherEditionAppId);
}
