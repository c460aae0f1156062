#include "support/DrawnContrast.h"

#include <algorithm>
#include <map>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <gtest/gtest.h>

#include "ui-kit/LxContrast.h"

namespace {

// The part of `rect` (in `widget`'s coordinates) that shows in `view`: what no ancestor cuts
// off, as a scroll area's viewport cuts off the rows scrolled away.
QRect inView(const QWidget& view, const QWidget& widget, const QRect& rect) {
    QRect shown = QRect(widget.mapTo(&view, rect.topLeft()), rect.size());
    for (const QWidget* ancestor = widget.parentWidget(); ancestor != nullptr && ancestor != &view;
         ancestor = ancestor->parentWidget()) {
        shown = shown.intersected(QRect(ancestor->mapTo(&view, QPoint(0, 0)), ancestor->size()));
    }
    return shown.intersected(view.rect());
}

// Whether `widget` shows on screen: it and every ancestor up to `view` visible.
bool isShown(const QWidget& view, const QWidget& widget) {
    for (const QWidget* w = &widget; w != nullptr && w != &view; w = w->parentWidget()) {
        if (!w->isVisible()) {
            return false;
        }
    }
    return widget.isVisibleTo(&view);
}

QString describe(const QWidget& widget) {
    const QString name = widget.objectName();
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        text = label->text();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        text = button->text();
    } else if (const auto* edit = qobject_cast<const QLineEdit*>(&widget)) {
        text = edit->text().isEmpty() ? edit->placeholderText() : edit->text();
    }
    return QString::fromLatin1(widget.metaObject()->className()) + " " + name + " \"" +
           text.left(40) + "\"";
}

// The rectangle of the text a button draws beside its indicator or inside its bevel, a little
// inside so that no edge of the bevel falls in it.
QRect buttonTextRect(const QAbstractButton& button) {
    if (const auto* radio = qobject_cast<const QRadioButton*>(&button)) {
        QStyleOptionButton option;
        option.initFrom(radio);
        option.text = radio->text();
        return button.style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio);
    }
    if (const auto* push = qobject_cast<const QPushButton*>(&button)) {
        QStyleOptionButton option;
        option.initFrom(push);
        option.text = push->text();
        return button.style()
            ->subElementRect(QStyle::SE_PushButtonContents, &option, push)
            .adjusted(3, 3, -3, -3);
    }
    return button.rect().adjusted(2, 2, -2, -2);
}

QRect sliderRect(const QScrollBar& bar) {
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = bar.orientation();
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.singleStep = bar.singleStep();
    option.pageStep = bar.pageStep();
    option.upsideDown = bar.invertedAppearance();
    if (bar.orientation() == Qt::Horizontal) {
        option.state |= QStyle::State_Horizontal;
    }
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                       &bar);
}

}  // namespace

double wcagContrast(const QColor& first, const QColor& second) {
    return lx::contrastRatio(first, second);
}

DrawnColours drawnColours(const QImage& picture, const QRect& rect) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const QRect area = rect.intersected(image.rect());
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    DrawnColours drawn;
    if (counts.empty()) {
        return drawn;
    }
    const auto most = std::ranges::max_element(
        counts, [](const auto& a, const auto& b) { return a.second < b.second; });
    drawn.background = QColor(most->first);
    drawn.ink = drawn.background;
    for (const auto& [rgb, count] : counts) {
        if (wcagContrast(QColor(rgb), drawn.background) > drawn.contrast()) {
            drawn.ink = QColor(rgb);
        }
    }
    return drawn;
}

namespace {

// The colours a desktop theme gives each role a view may read.
struct DesktopColours {
    QColor window, windowText, base, alternateBase, placeholder, button, highlight, link, disabled;
};

QPalette desktopPalette(const DesktopColours& colours) {
    QPalette palette(colours.window);
    palette.setColor(QPalette::Window, colours.window);
    palette.setColor(QPalette::WindowText, colours.windowText);
    palette.setColor(QPalette::Base, colours.base);
    palette.setColor(QPalette::AlternateBase, colours.alternateBase);
    palette.setColor(QPalette::Text, colours.windowText);
    palette.setColor(QPalette::PlaceholderText, colours.placeholder);
    palette.setColor(QPalette::Button, colours.button);
    palette.setColor(QPalette::ButtonText, colours.windowText);
    palette.setColor(QPalette::Highlight, colours.highlight);
    palette.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    palette.setColor(QPalette::Link, colours.link);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, colours.disabled);
    }
    return palette;
}

}  // namespace

QPalette lightDesktopPalette() {
    return desktopPalette({.window = QColor(239, 239, 239),
                           .windowText = QColor(0, 0, 0),
                           .base = QColor(255, 255, 255),
                           .alternateBase = QColor(247, 247, 247),
                           .placeholder = QColor(0, 0, 0, 128),
                           .button = QColor(239, 239, 239),
                           .highlight = QColor(48, 140, 198),
                           .link = QColor(0, 0, 255),
                           .disabled = QColor(190, 190, 190)});
}

QPalette darkDesktopPalette() {
    return desktopPalette({.window = QColor(53, 53, 53),
                           .windowText = QColor(238, 238, 236),
                           .base = QColor(45, 45, 45),
                           .alternateBase = QColor(53, 53, 53),
                           .placeholder = QColor(238, 238, 236, 128),
                           .button = QColor(60, 60, 60),
                           .highlight = QColor(21, 83, 158),
                           .link = QColor(53, 132, 228),
                           .disabled = QColor(145, 145, 144)});
}

ScopedApplicationPalette::ScopedApplicationPalette(const QPalette& palette)
    : previous_(QApplication::palette()) {
    QApplication::setPalette(palette);
}

ScopedApplicationPalette::~ScopedApplicationPalette() {
    QApplication::setPalette(previous_);
}

std::vector<TextElement> textElements(const QWidget& view,
                                      const std::vector<const QWidget*>& customTexts) {
    std::vector<TextElement> elements;
    const auto add = [&](const QWidget& widget, const QRect& rect,
                         std::optional<QRect> handle = std::nullopt) {
        const QRect shown = inView(view, widget, rect);
        if (isShown(view, widget) && !shown.isEmpty()) {
            if (handle) {
                handle = inView(view, widget, *handle);
            }
            elements.push_back({describe(widget).toStdString(), shown, handle});
        }
    };
    for (const QWidget* widget : customTexts) {
        add(*widget, widget->rect());
    }
    for (const QWidget* widget : view.findChildren<QWidget*>()) {
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            if (!label->text().isEmpty()) {
                add(*label, label->contentsRect());
            }
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            add(*button, buttonTextRect(*button));
        } else if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
            QStyleOptionFrame option;
            option.initFrom(edit);
            add(*edit, edit->style()
                           ->subElementRect(QStyle::SE_LineEditContents, &option, edit)
                           .adjusted(2, 2, -2, -2));
        } else if (const auto* list = qobject_cast<const QAbstractItemView*>(widget)) {
            if (list->model() != nullptr && list->model()->rowCount() > 0) {
                add(*list->viewport(), list->viewport()->rect());
            }
        } else if (const auto* bar = qobject_cast<const QScrollBar*>(widget)) {
            if (bar->maximum() > bar->minimum()) {
                add(*bar, bar->rect(), sliderRect(*bar));
            }
        }
    }
    return elements;
}

namespace {

QColor mostFrequent(const QImage& image, const QRect& area, const std::optional<QRect>& except) {
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!except || !except->contains(x, y)) {
                ++counts[image.pixel(x, y)];
            }
        }
    }
    if (counts.empty()) {
        return {};
    }
    return QColor(std::ranges::max_element(counts, [](const auto& a, const auto& b) {
                      return a.second < b.second;
                  })->first);
}

QRect scaled(const QRect& rect, qreal scale) {
    return {(QPointF(rect.topLeft()) * scale).toPoint(), (QSizeF(rect.size()) * scale).toSize()};
}

}  // namespace

int expectReadableText(const QWidget& view, const QImage& picture,
                       const std::vector<const QWidget*>& customTexts, double minimum) {
    const qreal scale = picture.devicePixelRatio();
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const std::vector<TextElement> elements = textElements(view, customTexts);
    for (const TextElement& element : elements) {
        DrawnColours drawn;
        if (element.handle) {
            const QRect handle = scaled(*element.handle, scale);
            drawn.ink = mostFrequent(image, handle.adjusted(2, 2, -2, -2), std::nullopt);
            drawn.background = mostFrequent(image, scaled(element.rect, scale), handle);
        } else {
            drawn = drawnColours(image, scaled(element.rect, scale));
        }
        EXPECT_GE(drawn.contrast(), minimum)
            << element.name << ": ink " << drawn.ink.name().toStdString() << " on "
            << drawn.background.name().toStdString();
    }
    return static_cast<int>(elements.size());
}
