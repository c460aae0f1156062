#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

// Plain text wrapped to the label's width on at most `maximumLines` lines; what does not fit is
// cut with an ellipsis where `elideMode` says (the last line's end, or the middle of a single
// line). Line breaks in the text start new lines. The height follows the width.
//
// Example:
//   auto* path = new LineLimitedLabel(QString::fromStdString(url), 1, Qt::ElideMiddle);
//   auto* problem = new LineLimitedLabel(text, 2, Qt::ElideRight);
class LineLimitedLabel final : public QWidget {
public:
    LineLimitedLabel(const QString& text, int maximumLines, Qt::TextElideMode elideMode,
                     QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    void setText(const QString& text);

    // Where each line sits across the width: Qt::AlignLeft (the default) or Qt::AlignHCenter.
    void setAlignment(Qt::Alignment alignment);

    // The lines shown at `width` (the current width when none is given).
    QStringList shownLines(int width = -1) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString text_;
    int maximumLines_;
    Qt::TextElideMode elideMode_;
    Qt::Alignment alignment_ = Qt::AlignLeft;
};
