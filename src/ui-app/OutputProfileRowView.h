#pragma once

#include <optional>

#include <QString>
#include <QWidget>

// A band of the output profile: an optional title (in a column of `titleWidth` when given,
// wrapping within it) and the content, at the leading edge on a light fill. Content that wants
// the width (a text field) gets all that is left; other content keeps its natural width.
class OutputProfileRowView final : public QWidget {
public:
    OutputProfileRowView(const std::optional<QString>& title, std::optional<int> titleWidth,
                         QWidget* content, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The title above a section of the output profile.
class OutputProfileSegmentView final : public QWidget {
public:
    explicit OutputProfileSegmentView(const QString& title, QWidget* parent = nullptr);
};
