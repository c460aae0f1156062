#include "ui-app/MainView.h"

#include <utility>

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include "platform/qt/Binding.h"
#include "platform/qt/ViewBindings.h"
#include "ui-app/OutputProfileView.h"
#include "ui-app/SourceProjectListView.h"
#include "ui-app/ViewStyle.h"
#include "ui-kit/LxColor.h"
#include "ui-kit/LxDialog.h"
#include "ui-kit/LxDialogActionButton.h"

namespace {

constexpr int kSourcePaneWidth = 340;
constexpr int kOutputPaneWidth = 520;
constexpr int kSpacing = 6;
constexpr int kMinimumHeight = 480;
constexpr int kMessageWidth = 260;
constexpr int kShadowRadius = 1;
constexpr qreal kShadowOpacity = 0.33;

// The panes side by side, each with a thin shadow around its rounded edge. The shadow is
// painted, not a graphics effect: the error dialog blurs this whole row with an effect of its
// own, and effects nested in effects render slowly and unreliably.
class PaneRow final : public QWidget {
public:
    PaneRow(QWidget* left, QWidget* right) : left_(left), right_(right) {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(kSpacing, kSpacing, kSpacing, kSpacing);
        layout->setSpacing(kSpacing);
        layout->addStretch(1);
        layout->addWidget(left);
        layout->addWidget(right);
        layout->addStretch(1);
        setMinimumHeight(kMinimumHeight);
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgbF(0, 0, 0, kShadowOpacity));
        for (const QWidget* pane : {left_, right_}) {
            const QRectF edge =
                QRectF(pane->geometry())
                    .adjusted(-kShadowRadius, -kShadowRadius, kShadowRadius, kShadowRadius);
            painter.drawRoundedRect(edge, lx::kPaneCornerRadius + kShadowRadius,
                                    lx::kPaneCornerRadius + kShadowRadius);
        }
    }

private:
    QWidget* left_;
    QWidget* right_;
};

}  // namespace

MainView::MainView(std::shared_ptr<ErrorMessage> errorMessage, const AppServices& services,
                   QWidget* parent)
    : QWidget(parent), errorMessage_(std::move(errorMessage)) {
    sourcePane_ = new SourceProjectListView(services.engine, {});
    sourcePane_->setFixedWidth(kSourcePaneWidth);
    outputPane_ = new OutputProfileView(services);
    outputPane_->setFixedWidth(kOutputPaneWidth);

    dialogHost_ = lxDialog(
        new PaneRow(sourcePane_, outputPane_), platform::qt::isSomeBinding(errorMessage_),
        [errorMessage = errorMessage_](const platform::qt::Dismiss& dismiss) {
            return makeErrorMessageDialog(errorMessage->value().value_or(std::string()), dismiss);
        });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(dialogHost_);

    platform::qt::bindEvent(
        this, services.engine->events().failurePresentRequest(),
        [errorMessage = errorMessage_](const std::string& text) { errorMessage->change(text); });
}

QWidget* makeErrorMessageDialog(const std::string& message, std::function<void()> closeHandler) {
    auto* text = new QLabel;
    text->setObjectName("errorMessage");
    text->setTextFormat(Qt::PlainText);
    text->setText(QString::fromStdString(message));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    text->setFixedWidth(kMessageWidth);
    const int padding = lx::defaultPadding(text);
    text->setContentsMargins(padding, padding, padding, padding);
    lx::setTextColor(text, LxColor::systemRed());
    QPalette background = text->palette();
    background.setColor(QPalette::Window, LxColor::systemBackground());
    text->setPalette(background);
    text->setAutoFillBackground(true);

    QWidget* close = LxDialogActionButton::done(QCoreApplication::translate("MainView", "Close"),
                                                std::move(closeHandler))
                         .makeWidget();
    close->setObjectName("errorCloseButton");
    return LxDialog::create(text, {close});
}
