#pragma once

#include <functional>
#include <optional>

#include <QColor>
#include <QPointer>
#include <QString>

#include "platform/foundation/Geometry.h"
#include "platform/qt/Binding.h"
#include "ui-kit/internal/OverlayHost.h"

class LxDefaultSpinner;
class QPushButton;

// The cancel button of a progress HUD: a label, the padding below it, and what to do once a
// click has cleared the HUD's flag.
class LxHudCancelButton {
public:
    // A button label: its text, and its colour (none: the button style's own).
    struct Text {
        QString string;
        std::optional<QColor> foreground;
    };
    using TextBuilder = std::function<Text()>;

    // "Cancel" (translatable, shown as is without a translation) in white.
    static Text defaultText();

    // `bottomPadding` lies below the button's own padding on every edge.
    explicit LxHudCancelButton(std::function<void()> didCancelled = {},
                               TextBuilder cancelButtonText = &LxHudCancelButton::defaultText,
                               platform::CGFloat bottomPadding = 0);

    // Called after a click has written false through the HUD's flag; may be empty.
    const std::function<void()>& didCancelled() const { return didCancelled_; }
    // Builds the label each time the HUD is presented.
    const TextBuilder& cancelButtonText() const { return cancelButtonText_; }
    // Always present when made by the constructor; absent would mean the default padding.
    std::optional<platform::CGFloat> bottomPadding() const { return bottomPadding_; }

private:
    std::function<void()> didCancelled_;
    TextBuilder cancelButtonText_;
    std::optional<platform::CGFloat> bottomPadding_;
};

// A view with a progress HUD over it while a flag holds.
//
// While `presented` is true the content is disabled, blurred by `blurryRadius` when one is
// given (a radius of 0 still sets a blur effect), and dimmed by black at 0.75 opacity over its
// whole area; the cancel button, when there is one, sits at the bottom centre above the dim
// layer, and a new LxDefaultSpinner of `spinnerSize` turns at the centre above everything.
// Only the content is disabled. While the flag is false the content is shown untouched and the
// spinner is gone. A click on the button writes false through the flag, then calls its
// `didCancelled`. No transition of its own. Main thread only; the flag must change there.
//
// Unlike a view rebuilt on every change of the flag, the content keeps its own state (text
// typed, scroll position) across a presentation.
class LxHudHost final : public lx::internal::OverlayHost {
public:
    // The platform's usual padding around a button, on every edge.
    static constexpr int defaultButtonPadding = 16;
    static constexpr double dimOpacity = 0.75;

    LxHudHost(QWidget* content, platform::qt::Binding<bool> presented,
              platform::CGFloat spinnerSize, std::optional<platform::CGFloat> blurryRadius,
              std::optional<LxHudCancelButton> cancellation, QWidget* parent = nullptr);
    ~LxHudHost() override;

    bool isPresented() const { return isPresented_; }
    // The spinner of the current presentation; null while the HUD is down.
    LxDefaultSpinner* spinner() const { return spinner_; }
    // The cancel button; null without a cancellation, hidden while the HUD is down.
    QPushButton* cancelButton() const { return button_; }
    // The dim layer; hidden while the HUD is down.
    QWidget* dimLayer() const { return dim_; }

protected:
    void presentedChanged(bool presented) override;
    void placeLayers() override;

private:
    void present();
    void dismiss();
    void labelButton();
    void cancel();

    const platform::CGFloat spinnerSize_;
    const std::optional<platform::CGFloat> blurryRadius_;
    const std::optional<LxHudCancelButton> cancellation_;
    QWidget* dim_;
    QPushButton* button_ = nullptr;
    QPointer<LxDefaultSpinner> spinner_;
    bool isPresented_ = false;
};

// `content` in a HUD host (its new parent), with a progress HUD over it while `presented`
// holds. With every default: blur 8, a spinner of 180, a white "Cancel" button that only
// clears the flag.
//
// Example:
//   auto* host = lxHud(panes, busy, 180, 8, LxHudCancelButton([engine] { engine->cancel(); }));
LxHudHost* lxHud(QWidget* content, platform::qt::Binding<bool> presented,
                 platform::CGFloat spinnerSize = 180,
                 std::optional<platform::CGFloat> blurryRadius = 8,
                 std::optional<LxHudCancelButton> cancellation = LxHudCancelButton());
