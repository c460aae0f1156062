#pragma once

#include <filesystem>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QColor>
#include <QWidget>

#include "app/manager/CombineManager.h"
#include "app/manager/CombineSource.h"
#include "reactive/LxRxToogleState.h"

class QLabel;
class QPushButton;
class QVBoxLayout;
class SourceProjectRowView;

// The left pane of the main window: the engine's source projects as they are listed, "Clear" to
// empty that list, the window's drop target for project packages, and the problems sheet of a
// rejected project.
//
// A drop is taken while the problems sheet is not shown and when it offers a local file; it is
// always taken as a copy (the dropped file is only read). Of the files dropped only the first
// is looked at, and it is handed on only when it is a project package (SourceProjectDrop.h);
// anything else is ignored without a message. The hand-off runs the load off the GUI thread, so
// the window stays live (and the busy overlay shows) while a package unzips.
//
// Every problem result the engine sends on `projectValidatingFailedEvent` opens the sheet (a
// window-modal dialog) in a later main-queue turn; closing it leaves the last result in the
// state. A result that arrives while the sheet is up opens it again, with that result, once it
// is closed. Main thread only.
//
// Example:
//   auto* sources = new SourceProjectListView();   // the application's engine
//   sources->setFixedWidth(340);
class SourceProjectListView final : public QWidget {
public:
    using ProblemState = LxRxToogleState<CombineSource::ValidationResult>;
    // Takes a dropped project package; called on the GUI thread.
    using ProjectFileHandOff = std::function<void(const std::filesystem::path&)>;

    // Over AppContext::shared()'s engine.
    explicit SourceProjectListView(QWidget* parent = nullptr);
    // Over `engine`; an empty hand-off loads each package with the engine's addSourceProject on
    // the background queue.
    SourceProjectListView(std::shared_ptr<CombineManager> engine, ProjectFileHandOff handOff,
                          QWidget* parent = nullptr);

    const std::shared_ptr<ProblemState>& projectLoadingProblemState() const {
        return projectLoadingProblemState_;
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* makeHeader();
    QWidget* makeRowList();
    QLabel* makeHint();
    // Rows that show the same source in the same colours stay; the rest are built anew.
    void showProjects(const std::vector<CombineSource::Project>& projects);
    void clearSources();
    // Accepts a drag or drop as a copy when the pane takes it, else ignores it.
    bool takeAsCopy(QDropEvent* event) const;

    const std::shared_ptr<CombineManager> engine_;
    const ProjectFileHandOff handOff_;
    const std::shared_ptr<ProblemState> projectLoadingProblemState_ = ProblemState::create();
    QWidget* header_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QVBoxLayout* rows_ = nullptr;
    std::vector<SourceProjectRowView*> shownRows_;
    bool resultArrivedWhileShown_ = false;
};

// The inks of a row's number and path, readable on the pane's background of the moment.
struct SourceProjectRowColours {
    QColor number;
    QColor path;

    static SourceProjectRowColours current();
    bool operator==(const SourceProjectRowColours&) const = default;
};

// One listed source: "#" and its number (stored index + 1) beside the project's name, and below
// them the package's path on one line, shortened in the middle when it does not fit.
class SourceProjectRowView final : public QWidget {
public:
    SourceProjectRowView(const CombineSource::Project& sourceProject,
                         const SourceProjectRowColours& colours, QWidget* parent = nullptr);

    // Whether the row shows `sourceProject` in `colours` as it would if built for them.
    bool shows(const CombineSource::Project& sourceProject,
               const SourceProjectRowColours& colours) const;

private:
    const std::int64_t index_;
    const std::filesystem::path url_;
    const std::string name_;
    const SourceProjectRowColours colours_;
};
