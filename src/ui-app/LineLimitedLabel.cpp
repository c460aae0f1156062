#include "ui-app/LineLimitedLabel.h"

#include <algorithm>

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

namespace {

QString withLineSeparators(QString text) {
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}

QString onOneLine(QString text) {
    text.replace(QChar::LineSeparator, QLatin1Char(' '));
    return text;
}

}  // namespace

LineLimitedLabel::LineLimitedLabel(const QString& text, int maximumLines,
                                   Qt::TextElideMode elideMode, QWidget* parent)
    : QWidget(parent),
      text_(text),
      maximumLines_(std::max(1, maximumLines)),
      elideMode_(elideMode) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void LineLimitedLabel::setText(const QString& text) {
    text_ = text;
    updateGeometry();
    update();
}

void LineLimitedLabel::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

// Qt's text layout breaks the lines; only the last allowed line is cut by hand, because the
// layout knows nothing of a line limit.
QStringList LineLimitedLabel::shownLines(int width) const {
    if (width < 0) {
        width = this->width();
    }
    const QString text = withLineSeparators(text_);
    const QFontMetrics metrics(font());
    QTextLayout layout(text, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);

    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        if (lines.size() == maximumLines_ - 1) {
            lines << metrics.elidedText(onOneLine(text.mid(line.textStart())), elideMode_, width);
            break;
        }
        line.setLineWidth(width);
        // The blank where a line wraps belongs to neither line.
        QString shown = text.mid(line.textStart(), line.textLength());
        shown.remove(QChar::LineSeparator);
        while (shown.endsWith(QLatin1Char(' '))) {
            shown.chop(1);
        }
        lines << shown;
    }
    layout.endLayout();
    if (lines.isEmpty()) {
        lines << QString();
    }
    return lines;
}

QSize LineLimitedLabel::sizeHint() const {
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString& line : text_.split(QLatin1Char('\n'))) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    return {widest, heightForWidth(widest)};
}

// Narrow enough to give way to the layout around it: the text wraps or is cut instead.
QSize LineLimitedLabel::minimumSizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(QStringLiteral("M…M")), metrics.lineSpacing()};
}

int LineLimitedLabel::heightForWidth(int width) const {
    return static_cast<int>(shownLines(width).size()) * QFontMetrics(font()).lineSpacing();
}

void LineLimitedLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics(font());
    int top = 0;
    const bool centred = alignment_.testFlag(Qt::AlignHCenter);
    for (const QString& line : shownLines()) {
        const int left = centred ? (width() - metrics.horizontalAdvance(line)) / 2 : 0;
        painter.drawText(QPointF(left, top + metrics.ascent()), line);
        top += metrics.lineSpacing();
    }
}

void LineLimitedLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
    }
    QWidget::changeEvent(event);
}
