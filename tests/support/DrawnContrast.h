#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QRect>
#include <QWidget>

// Contrast as a person sees it: read from the pixels of a rendered view, never from the colour
// values a view was given.

// The WCAG contrast ratio of two opaque colours, from 1 (the same) to 21 (black on white).
double wcagContrast(const QColor& first, const QColor& second);

// The two colours drawn in a rectangle of a picture: the background, the colour most of its
// pixels show, and the ink, the pixel that stands out from that background the most.
struct DrawnColours {
    QColor background;
    QColor ink;
    double contrast() const { return wcagContrast(ink, background); }
};
DrawnColours drawnColours(const QImage& picture, const QRect& rect);

// A light and a dark desktop palette, with every role a view may read set: the light one a
// grey window around white fields, the dark one as GTK's Adwaita-dark gives it.
QPalette lightDesktopPalette();
QPalette darkDesktopPalette();

// Each desktop palette by name, for tests that check a view in both.
struct Appearance {
    const char* name;
    QPalette (*palette)();
};
inline const Appearance kAppearances[] = {{"light", lightDesktopPalette},
                                          {"dark", darkDesktopPalette}};

// The application palette `palette` (and the matching style colours) from construction until
// destruction, when the one before comes back.
class ScopedApplicationPalette {
public:
    explicit ScopedApplicationPalette(const QPalette& palette);
    ~ScopedApplicationPalette();
    ScopedApplicationPalette(const ScopedApplicationPalette&) = delete;
    ScopedApplicationPalette& operator=(const ScopedApplicationPalette&) = delete;

private:
    QPalette previous_;
};

// One text element of a view: what it is, and the rectangle, in the view's coordinates, where
// its text (or, for a scroll bar, its handle) is drawn.
struct TextElement {
    std::string name;
    QRect rect;
    // For a scroll bar, its handle inside `rect`: the handle's colour counts as the ink, the
    // rest of the bar as the background.
    std::optional<QRect> handle;
};

// Every visible text element under `view`: labels, buttons and radio buttons (their text
// only), line edits (their text or placeholder), lists (their rows) and scroll bars (their
// handle and groove); and `customTexts`, widgets that draw text of their own, whole.
std::vector<TextElement> textElements(const QWidget& view,
                                      const std::vector<const QWidget*>& customTexts = {});

// Checks, from `picture` (a rendering of `view` at its own size), that every text element of
// `view` reaches `minimum` contrast against the background drawn under it; answers how many
// elements it checked.
int expectReadableText(const QWidget& view, const QImage& picture,
                       const std::vector<const QWidget*>& customTexts = {}, double minimum = 4.5);
