#pragma once

#include <functional>
#include <optional>

#include <QColor>
#include <QString>
#include <QWidget>

// The role of a dialog button, which chooses its text colour: `custom` its own colour, `cancel`
// LxColor::secondaryLabel(), `done` LxColor::link(), `destruction` LxColor::systemRed(),
// `normal` LxColor::label().
class LxDialogActionButtonStyle {
public:
    enum class Kind { custom, cancel, done, destruction, normal };

    static LxDialogActionButtonStyle custom(const QColor& color);
    static LxDialogActionButtonStyle cancel() { return LxDialogActionButtonStyle(Kind::cancel); }
    static LxDialogActionButtonStyle done() { return LxDialogActionButtonStyle(Kind::done); }
    static LxDialogActionButtonStyle destruction() {
        return LxDialogActionButtonStyle(Kind::destruction);
    }
    static LxDialogActionButtonStyle normal() { return LxDialogActionButtonStyle(Kind::normal); }

    Kind kind() const { return kind_; }
    // The colour of a `custom` style.
    std::optional<QColor> customColor() const { return customColor_; }

    // Read from the palette on every call.
    QColor textColor() const;

    friend bool operator==(const LxDialogActionButtonStyle&,
                           const LxDialogActionButtonStyle&) = default;

private:
    explicit LxDialogActionButtonStyle(Kind kind, std::optional<QColor> customColor = {})
        : kind_(kind), customColor_(customColor) {}

    Kind kind_;
    std::optional<QColor> customColor_;
};

// One button of a dialog's action row: a title shown as given, a style, whether it is enabled,
// and the action it runs when clicked. A value: `styled` and `enabled` answer changed copies.
//
// The button is drawn with a padding of 6 on every edge, its text in the style's colour on
// LxColor::secondarySystemBackground(); while pressed, whatever the style, in LxColor::link()
// on LxColor::systemBackground(). It widens to share its row. A button that is not enabled
// ignores clicks and shows its text at half strength.
//
// Example:
//   const auto close = LxDialogActionButton::done("Close", dismiss);
//   QWidget* widget = close.makeWidget();
class LxDialogActionButton {
public:
    LxDialogActionButton(QString title, std::function<void()> action);
    LxDialogActionButton(QString title, LxDialogActionButtonStyle style,
                         std::function<void()> action);
    LxDialogActionButton(QString title, LxDialogActionButtonStyle style, bool enabled,
                         std::function<void()> action);

    // Style `done`, enabled; titled "Done" unless given.
    static LxDialogActionButton done(std::function<void()> action);
    static LxDialogActionButton done(QString title, std::function<void()> action);

    const QString& title() const { return title_; }
    const LxDialogActionButtonStyle& style() const { return style_; }
    bool enabled() const { return enabled_; }
    const std::function<void()>& action() const { return action_; }

    LxDialogActionButton styled(LxDialogActionButtonStyle style) const;
    LxDialogActionButton enabled(bool enabled) const;

    // A new widget of this button. The action runs on every click, with the widget still
    // alive.
    QWidget* makeWidget(QWidget* parent = nullptr) const;

private:
    QString title_;
    LxDialogActionButtonStyle style_;
    bool enabled_;
    std::function<void()> action_;
};
