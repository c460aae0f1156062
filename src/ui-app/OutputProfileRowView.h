#pragma once

#include <optional>

#include <QString>
#include <QWidget>

// A band of the output profile: an optional title (in a column of `titleWidth` when given,
// wrapping within it) and the content, at the leading edge on a light fill. Content that wants
// the width (a text field) gets all that is left; other content keeps its natural width.
class OutputProfileRowView final : public QWidget {
public:
    // The title column of the profile's titled rows, and the padding around a row's content.
    static constexpr int kTitleWidth = 168;
    static constexpr int kHorizontalPadding = 6;
    static constexpr int kVerticalPadding = 4;

    // The space the style puts between the title and the content of a row shown in `widget`.
    static int contentSpacing(const QWidget& widget);

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
