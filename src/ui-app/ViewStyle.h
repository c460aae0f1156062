#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>
#include <QWidget>

#include "ui-kit/LxContrast.h"

// The few text styles the application's views share.
namespace lx {

// A label that shows `text` exactly as given: never as rich text, so a name such as "<b>x</b>"
// reads as written and can load nothing.
QLabel* verbatimLabel(const QString& text, QWidget* parent = nullptr);

// Colours `widget`'s text (its window-text and text roles).
void setTextColor(QWidget* widget, const QColor& color);

// The application's font in bold: section and pane headings.
QFont headlineFont();
// The application's font at about three quarters of its size: hints.
QFont footnoteFont();

// The style's usual margin around a view's content, for paddings left to the toolkit.
int defaultPadding(const QWidget* widget);

// The corner radius of the main window's panes.
inline constexpr qreal kPaneCornerRadius = 8;

// A pane's header band: `title` as a heading in LxColor::systemTeal() at the leading edge and
// `action` at the trailing edge, 8 from the top and bottom and 12 from the sides. The band
// keeps its height while `action` is hidden. The pane paints the band (paintPane).
QWidget* makePaneHeader(const QString& title, QWidget* action);

// What a sheet's text lies on: the window colour of `sheet`'s palette.
QColor sheetBackground(const QWidget* sheet);

// What a row of a pane shows behind its text: LxColor::systemFill() over the pane's background.
QColor paneRowBackground();

// Gives `pane` and what it holds the text colours of the pane: the palette's text, enabled and
// disabled, and placeholders, each made to read on a row (paneRowBackground()) and so on the
// pane's background too.
void usePaneColours(QWidget* pane);

// Paints `pane` as a card with corners of radius 8: the band of `header` in
// LxColor::secondarySystemBackground(), the rest in LxColor::systemBackground(). For a pane's
// paintEvent; its children leave their backgrounds unpainted.
void paintPane(QWidget& pane, const QWidget& header);

}  // namespace lx
