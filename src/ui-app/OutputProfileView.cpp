#include "ui-app/OutputProfileView.h"

#include <algorithm>
#include <exception>
#include <utility>

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/manager/TemporaryItems.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/qt/Binding.h"
#include "platform/qt/Sheet.h"
#include "platform/qt/ViewBindings.h"
#include "platform/reactive/Completion.h"
#include "ui-app/OutputProfileContentView.h"
#include "ui-app/OutputView.h"
#include "ui-app/ViewStyle.h"
#include "utility/LxAsync.h"
#include "utility/StringExtensions.h"
#include "zip/LxZip.h"

namespace {

constexpr const char* kSavedFileType = "orb";
constexpr int kMinimumWidth = 520;

QString localized(const char* key) {
    return QCoreApplication::translate("OutputProfileView", key);
}

}  // namespace

std::string defaultSaveName(const std::string& profileName) {
    return lx::isBlank(profileName) ? "Project" : profileName;
}

OutputProfileView::OutputProfileView(AppServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
    lx::usePaneColours(this);
    body_ = new QStackedWidget;
    // The empty area; the pane paints the background of both pages.
    body_->addWidget(new QWidget);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeHeader());
    layout->addWidget(body_, 1);

    const std::shared_ptr<CombineOutput>& output = services_.engine->output();
    platform::qt::bindPublisher(
        this, output->profilePublisher(),
        [this](const CombineOutput::SharedProfile& profile) { showProfile(profile); });
    platform::qt::sheet(
        this, platform::qt::isSomeBinding(savedOrbFile_),
        [state = savedOrbFile_, workspace = services_.workspace,
         events = services_.engine->events()](const platform::qt::Dismiss& dismiss) {
            return new OutputView(state->value().value_or(std::string()), workspace, events,
                                  dismiss);
        });
}

QWidget* OutputProfileView::makeHeader() {
    combineButton_ = new QPushButton(localized("Combine"));
    combineButton_->setObjectName("combineButton");
    combineButton_->setVisible(false);
    connect(combineButton_, &QPushButton::clicked, this, [this] { combineProjects(); });
    header_ = lx::makePaneHeader(localized("Output"), combineButton_);
    return header_;
}

// The content is made for the first profile and then kept up to date in place, so that the
// name field keeps its focus and cursor while the user types.
void OutputProfileView::showProfile(const CombineOutput::SharedProfile& profile) {
    combineButton_->setVisible(profile != nullptr);
    if (!profile) {
        body_->setCurrentIndex(0);
        if (content_ != nullptr) {
            body_->removeWidget(content_);
            content_->deleteLater();
            content_ = nullptr;
        }
        return;
    }
    if (content_ != nullptr) {
        content_->setProfile(*profile);
        return;
    }
    const std::shared_ptr<CombineOutput>& output = services_.engine->output();
    content_ = new OutputProfileContentView(*profile, projectNameBinding(output),
                                            sourceProjectLayoutOptionBinding(output));
    body_->addWidget(content_);
    body_->setCurrentWidget(content_);
}

// The engine combines over snapshots of the profile and the list taken when it starts, so the
// background job shares nothing the main thread changes.
void OutputProfileView::combineProjects() {
    if (combining_) {
        return;
    }
    combining_ = true;
    const AppEvents& events = services_.engine->events();
    events.hudPresentingRequest()->sendOnMain(localized("Combining ...").toStdString());
    LxAsync::background([engine = services_.engine, view = QPointer<OutputProfileView>(this)] {
        std::optional<LxFile> file = engine->combine();
        engine->events().hudDismissingRequest()->sendOnMain(platform::reactive::Unit{});
        LxAsync::main([view, file = std::move(file)] {
            if (view) {
                view->finishCombine(file);
            }
        });
    });
}

void OutputProfileView::finishCombine(const std::optional<LxFile>& file) {
    combining_ = false;
    if (!file) {
        services_.engine->events().failurePresentRequest()->sendOnMain("Combining failed");
        return;
    }
    presentSavePanel(*file);
}

// Without a profile (the list was cleared meanwhile) or a window there is nowhere to ask. The
// combined package is only a source for the copy: it goes once the copy is done, the save was
// cancelled or there was no one to ask.
void OutputProfileView::presentSavePanel(const LxFile& file) {
    const CombineOutput::SharedProfile& profile = services_.engine->output()->profile();
    QWidget* window = services_.userInterface->mainWindow();
    if (!profile || window == nullptr) {
        removeTemporaryItem(file);
        return;
    }
    const platform::qt::SavePanelOptions options{
        {kSavedFileType}, false, defaultSaveName(profile->name)};
    services_.savePanel(window, options,
                        [view = QPointer<OutputProfileView>(this),
                         file](const std::optional<std::filesystem::path>& destination) {
                            if (view && destination) {
                                view->copyCombinedFile(file, *destination);
                            } else {
                                removeTemporaryItem(file);
                            }
                        });
}

// Never removes the chosen file first: it is replaced only by a complete copy that reads back
// whole, so a copy that fails (package gone, damaged or written wrong, disk full, a folder
// chosen) leaves it as it was. This read of the copy is the one check a combined package gets:
// it covers the package as written and everything since, the copy included. Copying a large
// package and reading it back take a while, so both run on the background queue; the outcome
// is shown on the main queue. The state is handed on to the main queue, never copied, so that
// with the view gone meanwhile it is still let go of on the main thread, where its observers
// live.
void OutputProfileView::copyCombinedFile(const LxFile& file,
                                         const std::filesystem::path& destination) {
    LxAsync::background(
        [file, destination, events = services_.engine->events(), state = savedOrbFile_]() mutable {
            try {
                platform::copyFileAtomically(
                    file.url(), destination,
                    [](const std::filesystem::path& copy) { LxZip::verifiedEntries(copy); });
                removeTemporaryItem(file);
            } catch (const std::exception&) {
                removeTemporaryItem(file);
                LxAsync::main([events, state = std::move(state)] {
                    events.failurePresentRequest()->send("Failed to save!");
                });
                return;
            }
            LxAsync::main([state = std::move(state), saved = LxFile(destination).pathString()] {
                state->change(saved);
            });
        });
}

// The content's needs follow from its fixed texts and the font: a content made for an empty
// profile, measured once per font and style, stands for every profile.
QSize OutputProfileView::minimumSizeHint() const {
    if (!contentMinimumWidth_) {
        const std::shared_ptr<CombineOutput>& output = services_.engine->output();
        OutputProfileContentView probe(CombineOutput::Profile{}, projectNameBinding(output),
                                       sourceProjectLayoutOptionBinding(output));
        probe.setFont(font());
        probe.setStyle(style());
        contentMinimumWidth_ = probe.minimumWidthForContent();
    }
    return QWidget::minimumSizeHint().expandedTo(
        QSize(std::max(kMinimumWidth, *contentMinimumWidth_), 0));
}

void OutputProfileView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        contentMinimumWidth_.reset();
        updateGeometry();
    }
}

void OutputProfileView::paintEvent(QPaintEvent* /*event*/) {
    lx::paintPane(*this, *header_);
}
