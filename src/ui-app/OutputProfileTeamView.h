#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <QAbstractListModel>
#include <QListView>
#include <QString>
#include <QStyledItemDelegate>

// The merged team of the output profile: one band per member, its name in the title column and
// its contact e-mail beside it, drawn as `OutputProfileRowView` draws a titled row.
//
// A team of thousands costs no widget per member: the rows are items of a model, and only the
// ones that show are painted. The view is as tall as all its rows and never scrolls itself; the
// content view around it does. Main thread only.
//
// Each row is measured (laid out in the font) before it shows. Rows new to the view are
// measured a few hundred per turn of the event loop, so that a team of thousands never holds
// the window up for long; meanwhile the rows shown before stay, and the new team shows whole,
// in one change, once its last row is measured. A team of a few hundred new rows or fewer
// shows at once.
//
// Example:
//   auto* team = new OutputProfileTeamView;
//   team->setTeam({{"Anna", "anna@example.org"}, {"Kato", ""}});   // shown at once

// The rows: name and contact e-mail, verbatim.
class OutputProfileTeamModel final : public QAbstractListModel {
public:
    // Name, then e-mail.
    using Team = std::vector<std::pair<std::string, std::string>>;
    // The e-mail of a row; the name is the display text.
    static constexpr int emailRole = Qt::UserRole + 1;

    explicit OutputProfileTeamModel(QObject* parent = nullptr);

    const Team& team() const { return team_; }
    // Replaces the rows in one reset. The view sets only a team that differs from the shown one.
    void setTeam(Team team);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    Team team_;
};

class OutputProfileTeamView final : public QListView {
public:
    explicit OutputProfileTeamView(QWidget* parent = nullptr);

    // The rows shown; they change only through `setTeam`, which keeps their measures.
    const OutputProfileTeamModel& teamModel() const { return *model_; }
    // The team set last, shown or still being measured.
    const OutputProfileTeamModel::Team& team() const { return team_; }
    void setTeam(OutputProfileTeamModel::Team team);
    // Some row of `team()` is still to be measured; the rows shown are an earlier team's.
    bool isMeasuring() const { return measuringQueued_; }

    // All rows, one point apart; as wide as the widest row needs.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;

private:
    class RowDelegate;
    struct RowMeasures {
        int bandHeight = 0;
        int width = 0;
    };
    struct RowHash {
        std::size_t operator()(const std::pair<std::string, std::string>& row) const;
    };
    using MeasuresByRow =
        std::unordered_map<std::pair<std::string, std::string>, RowMeasures, RowHash>;

    // Measures up to `limit` rows of `team_` not measured yet, in order, and shows the team
    // once none is left; else measures on in the next turn. A row shown already, wherever it
    // was, keeps its measures: a merge mostly brings the same members.
    void measureRows(std::size_t limit);
    void measureRowsInNextTurn();
    // Shows `team_` with the band heights and the size its measured rows make.
    void showMeasuredTeam();
    // Makes the layouts above take the new size.
    void resizeToRows();

    // A child, so that it outlives the view's own teardown.
    OutputProfileTeamModel* model_;
    OutputProfileTeamModel::Team team_;
    // The rows of `team_` before this one are measured.
    std::size_t firstUnmeasuredRow_ = 0;
    bool measuringQueued_ = false;
    // By text, for the current font and style: the shown rows' measures, and those of the rows
    // of `team_` measured so far.
    MeasuresByRow measuresByRow_;
    // For the shown rows.
    std::vector<int> bandHeights_;
    int contentHeight_ = 0;
    int contentWidth_ = 0;
};
