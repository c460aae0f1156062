#include "ui-app/OutputProfileTeamView.h"

#include <algorithm>
#include <functional>

#include <QEvent>
#include <QFontMetrics>
#include <QLayout>
#include <QMetaObject>
#include <QPainter>
#include <QStyle>

#include "ui-app/OutputProfileRowView.h"
#include "ui-kit/LxColor.h"

namespace {

constexpr int kRowSpacing = 1;
// New rows measured in one turn of the event loop: a few milliseconds of text layout.
constexpr std::size_t kRowsMeasuredPerTurn = 200;
// Larger than any row: the box a label measures unwrapped text in.
constexpr int kUnboundedExtent = 2000;

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

// Text of printable ASCII is drawn in the widget's own font alone, so one line of it is as
// tall as any other; everything else is measured as it comes.
bool isPlainLine(const QString& line) {
    return !line.isEmpty() && std::ranges::all_of(line, [](QChar character) {
        return character.unicode() >= 0x20 && character.unicode() < 0x7F;
    });
}

// What a row needs of its font and style, measured the way a label measures its text, so the
// bands come out as tall as the titled rows of the other sections.
class RowMetrics {
public:
    explicit RowMetrics(const QWidget& view)
        : fonts_(view.font()),
          spacing_(OutputProfileRowView::contentSpacing(view)),
          plainLineHeight_(fonts_
                               .boundingRect(QRect(0, 0, kUnboundedExtent, kUnboundedExtent),
                                             Qt::AlignLeft, QStringLiteral("x"))
                               .height()) {}

    // The name wraps within the title column; a short one surely fits on one line.
    int titleHeight(const QString& name) const {
        if (isPlainLine(name) &&
            (name.size() * fonts_.maxWidth() <= OutputProfileRowView::kTitleWidth ||
             fonts_.horizontalAdvance(name) <= OutputProfileRowView::kTitleWidth)) {
            return plainLineHeight_;
        }
        return fonts_
            .boundingRect(QRect(0, 0, OutputProfileRowView::kTitleWidth, kUnboundedExtent),
                          Qt::AlignLeft | Qt::TextWordWrap, name)
            .height();
    }

    int emailHeight(const QString& email) const {
        if (isPlainLine(email)) {
            return plainLineHeight_;
        }
        return fonts_
            .boundingRect(QRect(0, 0, kUnboundedExtent, kUnboundedExtent), Qt::AlignLeft, email)
            .height();
    }

    int bandHeight(const QString& name, const QString& email) const {
        return std::max(titleHeight(name), emailHeight(email)) +
               2 * OutputProfileRowView::kVerticalPadding;
    }

    // A row is never narrower than its title column and its e-mail beside it.
    int rowWidth(const QString& email) const {
        return 2 * OutputProfileRowView::kHorizontalPadding + OutputProfileRowView::kTitleWidth +
               spacing_ + fonts_.horizontalAdvance(email);
    }

private:
    QFontMetrics fonts_;
    int spacing_;
    int plainLineHeight_;
};

// As a label draws its text: laid out in the direction of the text itself, a leading alignment
// following that direction, and cut at the label's edges (marks above a capital may be).
void drawLabelText(QPainter& painter, const QStyle& style, const QRect& rect, int alignment,
                   const QPalette& palette, const QString& line) {
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    const Qt::LayoutDirection direction = line.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    const int flags =
        static_cast<int>(QStyle::visualAlignment(direction, Qt::Alignment(alignment))) |
        (direction == Qt::LeftToRight ? Qt::TextForceLeftToRight : Qt::TextForceRightToLeft);
    style.drawItemText(&painter, rect, flags, palette, true, line, QPalette::WindowText);
    painter.restore();
}

}  // namespace

OutputProfileTeamModel::OutputProfileTeamModel(QObject* parent) : QAbstractListModel(parent) {}

void OutputProfileTeamModel::setTeam(Team team) {
    beginResetModel();
    team_ = std::move(team);
    endResetModel();
}

int OutputProfileTeamModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(team_.size());
}

QVariant OutputProfileTeamModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const auto& [name, email] = team_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return text(name);
        case emailRole:
            return text(email);
        default:
            return {};
    }
}

// Each item is its band and, below every band but the last, the one-point gap through which
// the pane's background shows, as between the rows of a section.
class OutputProfileTeamView::RowDelegate final : public QStyledItemDelegate {
public:
    explicit RowDelegate(OutputProfileTeamView& view) : QStyledItemDelegate(&view), view_(view) {}

    QSize sizeHint(const QStyleOptionViewItem& /*option*/,
                   const QModelIndex& index) const override {
        return {view_.contentWidth_, bandHeight(index) + gapBelow(index)};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect band(option.rect.topLeft(), QSize(option.rect.width(), bandHeight(index)));
        painter->save();
        painter->fillRect(band, LxColor::systemFill());
        painter->setFont(option.font);
        QPalette palette = option.palette;
        palette.setCurrentColorGroup((option.state & QStyle::State_Active) ? QPalette::Active
                                                                           : QPalette::Inactive);
        const QRect inner = band.adjusted(
            OutputProfileRowView::kHorizontalPadding, OutputProfileRowView::kVerticalPadding,
            -OutputProfileRowView::kHorizontalPadding, -OutputProfileRowView::kVerticalPadding);
        const QRect title(inner.topLeft(),
                          QSize(OutputProfileRowView::kTitleWidth, inner.height()));
        const QString email = index.data(OutputProfileTeamModel::emailRole).toString();
        const int emailLeft = title.right() + 1 + OutputProfileRowView::contentSpacing(view_);
        const QRect content(emailLeft, inner.top(),
                            std::max(inner.right() + 1 - emailLeft,
                                     painter->fontMetrics().horizontalAdvance(email)),
                            inner.height());
        const QStyle& style = *view_.style();
        drawLabelText(*painter, style, title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                      palette, index.data(Qt::DisplayRole).toString());
        drawLabelText(*painter, style, content, Qt::AlignLeft | Qt::AlignVCenter, palette, email);
        painter->restore();
    }

private:
    int bandHeight(const QModelIndex& index) const {
        const auto row = static_cast<std::size_t>(index.row());
        return row < view_.bandHeights_.size() ? view_.bandHeights_[row] : 0;
    }

    int gapBelow(const QModelIndex& index) const {
        return index.row() + 1 < view_.model_->rowCount() ? kRowSpacing : 0;
    }

    OutputProfileTeamView& view_;
};

OutputProfileTeamView::OutputProfileTeamView(QWidget* parent)
    : QListView(parent), model_(new OutputProfileTeamModel(this)) {
    setObjectName("teamList");
    setModel(model_);
    setItemDelegate(new RowDelegate(*this));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
}

void OutputProfileTeamView::setTeam(OutputProfileTeamModel::Team team) {
    if (team == team_) {
        return;
    }
    team_ = std::move(team);
    firstUnmeasuredRow_ = 0;
    measureRows(kRowsMeasuredPerTurn);
}

QSize OutputProfileTeamView::sizeHint() const {
    return {contentWidth_, contentHeight_};
}

QSize OutputProfileTeamView::minimumSizeHint() const {
    return sizeHint();
}

// A new font or style changes every row at once, and seldom: all are measured again now.
void OutputProfileTeamView::changeEvent(QEvent* event) {
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        measuresByRow_.clear();
        firstUnmeasuredRow_ = 0;
        measureRows(team_.size());
        scheduleDelayedItemsLayout();
    }
}

std::size_t OutputProfileTeamView::RowHash::operator()(
    const std::pair<std::string, std::string>& row) const {
    const std::hash<std::string> hash;
    return hash(row.first) ^ (hash(row.second) * 31);
}

void OutputProfileTeamView::measureRows(std::size_t limit) {
    const RowMetrics metrics(*this);
    std::size_t measured = 0;
    for (; firstUnmeasuredRow_ < team_.size(); ++firstUnmeasuredRow_) {
        const auto& row = team_[firstUnmeasuredRow_];
        if (measuresByRow_.contains(row)) {
            continue;
        }
        if (measured == limit) {
            measureRowsInNextTurn();
            return;
        }
        const QString email = text(row.second);
        measuresByRow_.emplace(row,
                               RowMeasures{.bandHeight = metrics.bandHeight(text(row.first), email),
                                           .width = metrics.rowWidth(email)});
        ++measured;
    }
    showMeasuredTeam();
}

// Queued with the view as context: gone with the view. One continuation at a time picks up
// whatever team is the latest by then.
void OutputProfileTeamView::measureRowsInNextTurn() {
    if (measuringQueued_) {
        return;
    }
    measuringQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            measuringQueued_ = false;
            measureRows(kRowsMeasuredPerTurn);
        },
        Qt::QueuedConnection);
}

void OutputProfileTeamView::showMeasuredTeam() {
    MeasuresByRow shown;
    shown.reserve(team_.size());
    bandHeights_.resize(team_.size());
    contentHeight_ = 0;
    contentWidth_ = 0;
    for (std::size_t row = 0; row < team_.size(); ++row) {
        const RowMeasures& measures =
            shown.try_emplace(team_[row], measuresByRow_.at(team_[row])).first->second;
        bandHeights_[row] = measures.bandHeight;
        contentHeight_ += measures.bandHeight;
        contentWidth_ = std::max(contentWidth_, measures.width);
    }
    if (!team_.empty()) {
        contentHeight_ += kRowSpacing * static_cast<int>(team_.size() - 1);
    }
    measuresByRow_ = std::move(shown);
    if (model_->team() != team_) {
        model_->setTeam(team_);
    }
    resizeToRows();
}

// The layouts above take the new height now, as they would for a row widget shown, rather than
// one level per turn of the event loop with a squeezed list painted in between.
void OutputProfileTeamView::resizeToRows() {
    updateGeometry();
    for (QWidget* parent = parentWidget();
         parent != nullptr && parent->isVisible() && parent->layout() != nullptr;
         parent = parent->parentWidget()) {
        parent->layout()->activate();
        if (parent->isWindow()) {
            break;
        }
    }
}
