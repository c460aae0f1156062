#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>
#include <QWidget>

// The few text styles the application's views share.
namespace lx {

// A label that shows `text` exactly as given: never as rich text, so a name such as "<b>x</b>"
// reads as written and can load nothing.
QLabel* verbatimLabel(const QString& text, QWidget* parent = nullptr);

// Colours `widget`'s text (its window-text and text roles).
void setTextColor(QWidget* widget, const QColor& color);

// The contrast secondary text must reach against its background (WCAG AA for body text).
inline constexpr double kMinimumTextContrast = 4.5;

// The WCAG contrast ratio of two opaque colours, from 1 (the same) to 21 (black on white).
double contrastRatio(const QColor& first, const QColor& second);

// `preferred` as it shows over the opaque `background`, made just dark or light enough to reach
// `minimumContrast`: the palette's faint text colours are meant for a platform that draws them
// heavier, and a dark palette puts light text over the kit's fixed light backgrounds. Opaque.
QColor readableTextColor(const QColor& preferred, const QColor& background,
                         double minimumContrast = kMinimumTextContrast);

// The application's font in bold: section and pane headings.
QFont headlineFont();
// The application's font at about three quarters of its size: hints.
QFont footnoteFont();

// The style's usual margin around a view's content, for paddings left to the toolkit.
int defaultPadding(const QWidget* widget);

// The corner radius of the main window's panes.
inline constexpr qreal kPaneCornerRadius = 8;

// A pane's header band: `title` as a heading in LxColor::systemTeal() at the leading edge and
// `action` at the trailing edge, 8 from the top and bottom and 12 from the sides. The pane
// paints the band (paintPane).
QWidget* makePaneHeader(const QString& title, QWidget* action);

// Paints `pane` as a card with corners of radius 8: the band of `header` in
// LxColor::secondarySystemBackground(), the rest in LxColor::systemBackground(). For a pane's
// paintEvent; its children leave their backgrounds unpainted.
void paintPane(QWidget& pane, const QWidget& header);

}  // namespace lx
