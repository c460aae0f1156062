#include "ui-app/SourceProjectListView.h"

#include <utility>

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/manager/AppContext.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/qt/Binding.h"
#include "platform/qt/Sheet.h"
#include "platform/qt/ViewBindings.h"
#include "ui-app/LineLimitedLabel.h"
#include "ui-app/PaneScrollArea.h"
#include "ui-app/SourceProjectDrop.h"
#include "ui-app/SourceProjectProblemsView.h"
#include "ui-app/ViewStyle.h"
#include "ui-kit/LxColor.h"
#include "utility/LxAsync.h"

namespace {

constexpr int kRowVerticalPadding = 3;
constexpr int kRowHorizontalPadding = 6;
constexpr int kRowLineSpacing = 2;

QString localized(const char* key) {
    return QCoreApplication::translate("SourceProjectListView", key);
}

// Opening a package unzips, reads and maps it on the calling thread; on the GUI thread that
// would freeze the window and hold back the busy overlay until the load was over.
SourceProjectListView::ProjectFileHandOff loadOffTheGuiThread(
    const std::shared_ptr<CombineManager>& engine) {
    return [engine](const std::filesystem::path& file) {
        LxAsync::background([engine, file] { engine->addSourceProject(file); });
    };
}

// Removes the layout's items from `first` on, deleting their widgets.
void removeItemsFrom(QVBoxLayout* layout, int first) {
    while (QLayoutItem* item = layout->takeAt(first)) {
        delete item->widget();
        delete item;
    }
}

}  // namespace

SourceProjectListView::SourceProjectListView(QWidget* parent)
    : SourceProjectListView(AppContext::shared().combineManager(), {}, parent) {}

SourceProjectListView::SourceProjectListView(std::shared_ptr<CombineManager> engine,
                                             ProjectFileHandOff handOff, QWidget* parent)
    : QWidget(parent),
      engine_(std::move(engine)),
      handOff_(handOff ? std::move(handOff) : loadOffTheGuiThread(engine_)) {
    lx::usePaneColours(this);
    setAcceptDrops(true);
    auto* column = new QWidget;
    auto* columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    columnLayout->setSpacing(0);
    columnLayout->addWidget(makeHeader());
    columnLayout->addWidget(makeRowList(), 1);

    // The hint shares the list's cell and lies over its bottom, letting clicks and the wheel
    // through to the rows beneath it.
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(column, 0, 0);
    QLabel* hint = makeHint();
    layout->addWidget(hint, 0, 0, Qt::AlignBottom | Qt::AlignHCenter);
    hint->raise();

    platform::qt::bindPublisher(
        this, engine_->source()->projectsPublisher(),
        [this](const std::vector<CombineSource::Project>& projects) { showProjects(projects); });
    platform::qt::bindEvent(this, engine_->projectValidatingFailedEvent(),
                            [this](const CombineSource::ValidationResult& result) {
                                resultArrivedWhileShown_ = projectLoadingProblemState_->isSome();
                                projectLoadingProblemState_->change(result);
                            });
    // The sheet keeps the content it was built with: a result that arrived while it was up is
    // shown once the user has closed it, in a later turn than the closing click.
    platform::qt::bindPublisher(
        this, projectLoadingProblemState_->isSomePublisher(), [this](bool isSome) {
            if (isSome || !resultArrivedWhileShown_) {
                return;
            }
            resultArrivedWhileShown_ = false;
            projectLoadingProblemState_->change(projectLoadingProblemState_->value(),
                                                platform::dispatch::mainQueue());
        });
    platform::qt::sheet(
        this, platform::qt::isSomeBinding(projectLoadingProblemState_),
        [state = projectLoadingProblemState_](const platform::qt::Dismiss& dismiss) {
            return new SourceProjectProblemsView(
                state->value().value_or(CombineSource::ValidationResult{}), dismiss);
        });
}

QWidget* SourceProjectListView::makeHeader() {
    clearButton_ = new QPushButton(localized("Clear"));
    clearButton_->setObjectName("sourcesClearButton");
    clearButton_->setVisible(false);
    connect(clearButton_, &QPushButton::clicked, this, [this] { clearSources(); });
    header_ = lx::makePaneHeader(localized("Sources"), clearButton_);
    return header_;
}

QWidget* SourceProjectListView::makeRowList() {
    auto* list = new QWidget;
    list->setObjectName("sourceProjectRows");
    rows_ = new QVBoxLayout(list);
    rows_->setContentsMargins(0, 0, 0, 0);
    rows_->setSpacing(0);
    auto* scroll = new PaneScrollArea;
    scroll->setObjectName("sourceProjectList");
    scroll->setWidget(list);
    // The pane paints the background under the rows.
    list->setAutoFillBackground(false);
    return scroll;
}

QLabel* SourceProjectListView::makeHint() {
    auto* hint = new QLabel(localized("Please drop .orb files here"));
    hint->setObjectName("sourcesDropHint");
    hint->setTextFormat(Qt::PlainText);
    hint->setFont(lx::footnoteFont());
    lx::setTextColor(hint,
                     lx::readableTextColor(LxColor::tertiaryLabel(), LxColor::systemBackground()));
    const int padding = lx::defaultPadding(this);
    hint->setContentsMargins(padding, padding, padding, padding);
    hint->setAttribute(Qt::WA_TransparentForMouseEvents);
    return hint;
}

// Sources are appended and cleared, so the rows kept are a leading run of the shown ones.
void SourceProjectListView::showProjects(const std::vector<CombineSource::Project>& projects) {
    const SourceProjectRowColours colours = SourceProjectRowColours::current();
    std::size_t kept = 0;
    while (kept < shownRows_.size() && kept < projects.size() &&
           shownRows_[kept]->shows(projects[kept], colours)) {
        ++kept;
    }
    removeItemsFrom(rows_, static_cast<int>(kept));
    shownRows_.resize(kept);
    for (std::size_t row = kept; row < projects.size(); ++row) {
        shownRows_.push_back(new SourceProjectRowView(projects[row], colours));
        rows_->addWidget(shownRows_.back());
    }
    rows_->addStretch(1);
    clearButton_->setVisible(!projects.empty());
    update();
}

void SourceProjectListView::clearSources() {
    engine_->clearSourceProjects();
}

void SourceProjectListView::paintEvent(QPaintEvent* /*event*/) {
    lx::paintPane(*this, *header_);
}

void SourceProjectListView::dragEnterEvent(QDragEnterEvent* event) {
    takeAsCopy(event);
}

void SourceProjectListView::dragMoveEvent(QDragMoveEvent* event) {
    takeAsCopy(event);
}

// A drop that offers a local file counts as done whatever the file turns out to be.
void SourceProjectListView::dropEvent(QDropEvent* event) {
    if (!takeAsCopy(event)) {
        return;
    }
    if (const auto file = droppedProjectFile(event->mimeData()->urls())) {
        handOff_(*file);
    }
}

// Never a move: the source of a move may delete the file once we report it done.
bool SourceProjectListView::takeAsCopy(QDropEvent* event) const {
    if (!acceptsDrop(*event->mimeData(), projectLoadingProblemState_->isSome())) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

SourceProjectRowColours SourceProjectRowColours::current() {
    return {.number = lx::readableTextColor(LxColor::secondaryLabel(), LxColor::systemBackground()),
            .path = lx::readableTextColor(LxColor::tertiaryLabel(), LxColor::systemBackground())};
}

SourceProjectRowView::SourceProjectRowView(const CombineSource::Project& sourceProject,
                                           const SourceProjectRowColours& colours,
                                           QWidget* parent)
    : QWidget(parent),
      index_(sourceProject.index),
      url_(sourceProject.url),
      name_(sourceProject.orbProject->name()),
      colours_(colours) {
    setObjectName("sourceProjectRow");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kRowHorizontalPadding, kRowVerticalPadding, kRowHorizontalPadding,
                               kRowVerticalPadding);
    layout->setSpacing(kRowLineSpacing);

    auto* firstLine = new QHBoxLayout;
    auto* number = new QLabel(localized("#%1").arg(sourceProject.index + 1));
    number->setTextFormat(Qt::PlainText);
    lx::setTextColor(number, colours.number);
    firstLine->addWidget(number, 0, Qt::AlignTop);
    // Wrapped, so that a long name cannot widen the fixed-width pane.
    QLabel* name = lx::verbatimLabel(QString::fromStdString(name_));
    name->setWordWrap(true);
    firstLine->addWidget(name, 1);
    layout->addLayout(firstLine);

    auto* path = new LineLimitedLabel(
        QFile::decodeName(QByteArray::fromStdString(sourceProject.url.string())), 1,
        Qt::ElideMiddle);
    path->setObjectName("sourceProjectPath");
    lx::setTextColor(path, colours.path);
    layout->addWidget(path);
}

bool SourceProjectRowView::shows(const CombineSource::Project& sourceProject,
                                 const SourceProjectRowColours& colours) const {
    return sourceProject.index == index_ && sourceProject.url == url_ &&
           sourceProject.orbProject->name() == name_ && colours == colours_;
}
