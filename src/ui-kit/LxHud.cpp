#include "ui-kit/LxHud.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QApplication>
#include <QCoreApplication>
#include <QPainter>
#include <QPalette>
#include <QPushButton>

#include "ui-kit/LxDefaultSpinner.h"

namespace {

// Black at the dim opacity over the host's whole area, above the (blurred) content and not
// blurred itself.
class HudDim final : public QWidget {
public:
    explicit HudDim(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor::fromRgbF(0, 0, 0, LxHudHost::dimOpacity));
    }
};

// Whole points, with a padding that is not a number taken as none and absurd ones bounded.
int points(platform::CGFloat length) {
    if (std::isnan(length)) {
        return 0;
    }
    return static_cast<int>(std::lround(std::clamp(length, -1e6, 1e6)));
}

}  // namespace

LxHudCancelButton::Text LxHudCancelButton::defaultText() {
    return {QCoreApplication::translate("LxHud", "Cancel"), QColor(Qt::white)};
}

LxHudCancelButton::LxHudCancelButton(std::function<void()> didCancelled,
                                     TextBuilder cancelButtonText, platform::CGFloat bottomPadding)
    : didCancelled_(std::move(didCancelled)),
      cancelButtonText_(std::move(cancelButtonText)),
      bottomPadding_(bottomPadding) {}

LxHudHost::LxHudHost(QWidget* content, platform::qt::Binding<bool> presented,
                     platform::CGFloat spinnerSize, std::optional<platform::CGFloat> blurryRadius,
                     std::optional<LxHudCancelButton> cancellation, QWidget* parent)
    : OverlayHost(content, std::move(presented), parent),
      spinnerSize_(spinnerSize),
      blurryRadius_(blurryRadius),
      cancellation_(std::move(cancellation)),
      dim_(new HudDim(this)) {
    dim_->hide();
    if (cancellation_) {
        button_ = new QPushButton(this);
        button_->hide();
        QObject::connect(button_, &QPushButton::clicked, this, [this] { cancel(); });
    }
    // Last: the current value arrives at once and may present the HUD.
    watchPresented();
}

LxHudHost::~LxHudHost() {
    stopWatching();
}

void LxHudHost::presentedChanged(bool presented) {
    if (presented && isPresented_) {
        // Built again as the view would be: the label may say something new.
        labelButton();
        placeLayers();
    } else if (presented) {
        present();
    } else if (isPresented_) {
        dismiss();
    }
}

void LxHudHost::present() {
    isPresented_ = true;
    coverContent(blurryRadius_);
    dim_->show();
    dim_->raise();
    if (button_ != nullptr) {
        labelButton();
        button_->show();
        button_->raise();
    }
    // A new spinner for every presentation, so each one starts its turn at 0.
    spinner_ = new LxDefaultSpinner(spinnerSize_, this);
    spinner_->setAttribute(Qt::WA_TransparentForMouseEvents);
    spinner_->show();
    spinner_->raise();
    placeLayers();
}

void LxHudHost::dismiss() {
    isPresented_ = false;
    uncoverContent();
    dim_->hide();
    if (button_ != nullptr) {
        button_->hide();
    }
    delete spinner_;
}

void LxHudHost::labelButton() {
    if (button_ == nullptr) {
        return;
    }
    const LxHudCancelButton::Text text = cancellation_->cancelButtonText()();
    button_->setText(text.string);
    QPalette palette = button_->palette();
    const QColor foreground =
        text.foreground.value_or(QApplication::palette(button_).color(QPalette::ButtonText));
    palette.setColor(QPalette::ButtonText, foreground);
    button_->setPalette(palette);
}

void LxHudHost::cancel() {
    // Copied first: writing the flag may delete this host.
    const std::function<void()> didCancelled = cancellation_->didCancelled();
    writePresented(false);
    if (didCancelled) {
        didCancelled();
    }
}

void LxHudHost::placeLayers() {
    dim_->setGeometry(rect());
    if (button_ != nullptr) {
        const QSize size = button_->sizeHint();
        const int below = defaultButtonPadding +
                          points(cancellation_->bottomPadding().value_or(defaultButtonPadding));
        button_->setGeometry((width() - size.width()) / 2, height() - below - size.height(),
                             size.width(), size.height());
    }
    if (spinner_) {
        const QSize size = spinner_->sizeHint();
        spinner_->setGeometry((width() - size.width()) / 2, (height() - size.height()) / 2,
                              size.width(), size.height());
    }
}

LxHudHost* lxHud(QWidget* content, platform::qt::Binding<bool> presented,
                 platform::CGFloat spinnerSize, std::optional<platform::CGFloat> blurryRadius,
                 std::optional<LxHudCancelButton> cancellation) {
    return new LxHudHost(content, std::move(presented), spinnerSize, blurryRadius,
                         std::move(cancellation));
}
