#include "ui-kit/LxDialog.h"

#include <algorithm>
#include <utility>

#include <QEasingCurve>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include "ui-kit/LxAnimation.h"
#include "ui-kit/internal/DialogLayers.h"

namespace {

using lx::internal::DialogCardFrame;
using lx::internal::DialogCardTransition;
using lx::internal::DialogVeil;

constexpr int gap = 1;
constexpr double blurRadius = 5;
constexpr int fadeMilliseconds = 350;
constexpr int springMilliseconds = 1000;

// The row of actions asks for room to give every action an equal share no smaller than the
// widest one's natural width, so the equal split never squeezes a title.
class ActionRow final : public QWidget {
public:
    explicit ActionRow(const std::vector<QWidget*>& actions) {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(gap);
        for (QWidget* action : actions) {
            layout->addWidget(action, 1, Qt::AlignVCenter);
        }
    }

    QSize sizeHint() const override {
        const QSize natural = QWidget::sizeHint();
        const int count = layout()->count();
        if (count == 0) {
            return natural;
        }
        int widest = 0;
        for (int index = 0; index < count; ++index) {
            widest = std::max(widest, layout()->itemAt(index)->sizeHint().width());
        }
        return {std::max(natural.width(), count * widest + (count - 1) * gap), natural.height()};
    }
};

// Lays a new card out now rather than in a later turn, so that it can be pictured, and its
// buttons pressed, at once. Parents before children: each layout sizes the next widget.
void layOutNow(QWidget* root) {
    if (root->layout() != nullptr) {
        root->layout()->activate();
    }
    for (QWidget* child : root->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        layOutNow(child);
    }
}

QGraphicsDropShadowEffect* makeCardShadow() {
    auto* shadow = new QGraphicsDropShadowEffect;
    shadow->setColor(QColor::fromRgbF(0, 0, 0, 0.33F));
    shadow->setBlurRadius(30);
    shadow->setOffset(0, 0);
    return shadow;
}

}  // namespace

namespace LxDialog {

QWidget* create(QWidget* content, const std::vector<QWidget*>& actions) {
    auto* card = new QWidget;
    auto* layout = new QVBoxLayout(card);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(gap);
    layout->addWidget(content, 0, Qt::AlignHCenter);
    layout->addWidget(new ActionRow(actions));
    card->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    return card;
}

}  // namespace LxDialog

// The host's own layers over its content, back to front: the veil, the card's shadow around
// its rounded frame, and the transition layer.
class LxDialogHost::Layers {
public:
    explicit Layers(LxDialogHost* host)
        : veil(new DialogVeil(host)),
          shadow(new QWidget(host)),
          frame(new DialogCardFrame(shadow)),
          transition(new DialogCardTransition(host)),
          veilFade(new QVariantAnimation(host)),
          cardMotion(new QVariantAnimation(host)) {
        auto* shadowLayout = new QVBoxLayout(shadow);
        shadowLayout->setContentsMargins(0, 0, 0, 0);
        shadowLayout->addWidget(frame);
        // One effect per widget: the shadow's wrapper follows the frame's rounded shape.
        shadow->setGraphicsEffect(makeCardShadow());
        transition->setGraphicsEffect(makeCardShadow());
        veil->hide();
        shadow->hide();
        transition->hide();
        veilFade->setStartValue(0.0);
        veilFade->setEndValue(1.0);
        cardMotion->setStartValue(0.0);
        cardMotion->setEndValue(1.0);
    }

    // Ends a running fade or spring where it is; whoever stops it sets the layers' states.
    void stopAnimations() {
        veilFade->stop();
        cardMotion->stop();
        QObject::disconnect(veilFade, nullptr, nullptr, nullptr);
        QObject::disconnect(cardMotion, nullptr, nullptr, nullptr);
        transition->hide();
    }

    DialogVeil* veil;
    QWidget* shadow;
    DialogCardFrame* frame;
    DialogCardTransition* transition;
    QVariantAnimation* veilFade;
    QVariantAnimation* cardMotion;
};

LxDialogHost::LxDialogHost(QWidget* content, platform::qt::Binding<bool> presented,
                           LxDialogBuilder builder, QWidget* parent)
    : OverlayHost(content, std::move(presented), parent),
      builder_(std::move(builder)),
      layers_(std::make_unique<Layers>(this)) {
    // Last: the current value arrives at once and may present the dialog.
    watchPresented();
}

LxDialogHost::~LxDialogHost() {
    stopWatching();
    layers_->stopAnimations();
}

bool LxDialogHost::isPresented() const {
    return isPresented_;
}

void LxDialogHost::presentedChanged(bool presented) {
    if (presented && isPresented_) {
        rebuildCard();
    } else if (presented) {
        present();
    } else if (isPresented_) {
        dismiss();
    }
}

void LxDialogHost::present() {
    Layers& layers = *layers_;
    isPresented_ = true;
    layers.stopAnimations();
    coverContent(blurRadius);
    rebuildCard();
    layers.veil->show();
    layers.veil->raise();
    layers.shadow->show();
    layers.shadow->raise();
    layers.transition->raise();
    if (!animates()) {
        layers.veil->setOpacity(1);
        return;
    }
    layers.veil->setOpacity(0);
    layers.veilFade->setDuration(fadeMilliseconds);
    layers.veilFade->setEasingCurve(QEasingCurve::Linear);
    QObject::connect(
        layers.veilFade, &QVariantAnimation::valueChanged, this,
        [veil = layers.veil](const QVariant& value) { veil->setOpacity(value.toDouble()); });
    layers.veilFade->start();

    // Widgets cannot be scaled: a picture of the card springs in, then the live card shows.
    layers.transition->setPicture(layers.frame->grab(), layers.shadow->geometry());
    layers.transition->setProgress(0, 1);
    layers.transition->show();
    layers.shadow->hide();
    QEasingCurve spring;
    spring.setCustomType(lx::internal::springProgress);
    layers.cardMotion->setDuration(springMilliseconds);
    layers.cardMotion->setEasingCurve(spring);
    QObject::connect(layers.cardMotion, &QVariantAnimation::valueChanged, this,
                     [transition = layers.transition](const QVariant& value) {
                         transition->setProgress(value.toDouble(), 1);
                     });
    QObject::connect(layers.cardMotion, &QVariantAnimation::finished, this, [this] {
        layers_->transition->hide();
        layers_->shadow->show();
    });
    layers.cardMotion->start();
}

void LxDialogHost::dismiss() {
    Layers& layers = *layers_;
    isPresented_ = false;
    layers.stopAnimations();
    uncoverContent();
    QPixmap picture;
    if (animates()) {
        // The live card may still be hidden behind a spring that was cut short.
        layers.shadow->show();
        picture = layers.frame->grab();
    }
    const QRect cardGeometry = layers.shadow->geometry();
    layers.shadow->hide();
    layers.frame->setCard(nullptr);
    if (picture.isNull()) {
        layers.veil->hide();
        return;
    }
    layers.veilFade->setDuration(fadeMilliseconds);
    layers.veilFade->setEasingCurve(QEasingCurve::Linear);
    QObject::connect(
        layers.veilFade, &QVariantAnimation::valueChanged, this,
        [veil = layers.veil](const QVariant& value) { veil->setOpacity(1 - value.toDouble()); });
    QObject::connect(layers.veilFade, &QVariantAnimation::finished, layers.veil, &QWidget::hide);
    layers.veilFade->start();

    layers.transition->setPicture(picture, cardGeometry);
    layers.transition->setProgress(1, 1);
    layers.transition->show();
    layers.cardMotion->setDuration(fadeMilliseconds);
    layers.cardMotion->setEasingCurve(QEasingCurve::InOutQuad);
    QObject::connect(layers.cardMotion, &QVariantAnimation::valueChanged, this,
                     [transition = layers.transition](const QVariant& value) {
                         const double remaining = 1 - value.toDouble();
                         transition->setProgress(remaining, remaining);
                     });
    QObject::connect(layers.cardMotion, &QVariantAnimation::finished, layers.transition,
                     &QWidget::hide);
    layers.cardMotion->start();
}

void LxDialogHost::rebuildCard() {
    layers_->frame->setCard(builder_(dismissAction()));
    placeLayers();
}

void LxDialogHost::placeLayers() {
    Layers& layers = *layers_;
    layers.veil->setGeometry(rect());
    layers.transition->setGeometry(rect());
    QSize card = layers.shadow->sizeHint();
    if (layers.shadow->hasHeightForWidth()) {
        card.setHeight(layers.shadow->heightForWidth(card.width()));
    }
    layers.shadow->setGeometry((width() - card.width()) / 2, (height() - card.height()) / 2,
                               card.width(), card.height());
    layOutNow(layers.shadow);
}

bool LxDialogHost::animates() const {
    return LxAnimation::isEnabled() && isVisible();
}

LxDialogHost* lxDialog(QWidget* content, platform::qt::Binding<bool> presented,
                       LxDialogBuilder builder) {
    return new LxDialogHost(content, std::move(presented), std::move(builder));
}
