#include "ui-app/MainView.h"

#include <utility>

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
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
constexpr int kSourcePaneMinimumWidth = 300;
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
        layout->addWidget(left, kSourcePaneWidth);
        layout->addWidget(right, kOutputPaneWidth);
        setMinimumHeight(kMinimumHeight);
    }

    // The panes at the widths they were drawn for; the window starts there where it fits.
    QSize sizeHint() const override {
        return QWidget::sizeHint().expandedTo(
            QSize(kSourcePaneWidth + kOutputPaneWidth + 3 * kSpacing, kMinimumHeight));
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

// The error card with the text `shown` holds at the moment it is built.
LxDialogBuilder errorCard(const std::shared_ptr<MainView::ErrorMessage>& shown) {
    return [shown](const platform::qt::Dismiss& dismiss) {
        return makeErrorMessageDialog(shown->value().value_or(std::string()), dismiss);
    };
}

}  // namespace

MainView::MainView(std::shared_ptr<ErrorMessage> errorMessage, const AppServices& services,
                   QWidget* parent)
    : QWidget(parent), errorMessage_(std::move(errorMessage)) {
    sourcePane_ = new SourceProjectListView(services.engine, {});
    sourcePane_->setMinimumWidth(kSourcePaneMinimumWidth);
    outputPane_ = new OutputProfileView(services);

    dialogHost_ = lxDialog(new PaneRow(sourcePane_, outputPane_),
                           platform::qt::isSomeBinding(errorInWindow_), errorCard(errorInWindow_));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(dialogHost_);

    closeOnDismiss(errorInWindow_);
    closeOnDismiss(errorOverSheet_);
    platform::qt::bindPublisher(this, errorMessage_->isSomePublisher(),
                                [this](bool isShown) { placeError(isShown); });
    platform::qt::bindEvent(
        this, services.engine->events().failurePresentRequest(),
        [errorMessage = errorMessage_](const std::string& text) { errorMessage->change(text); });
}

// A dialog in the window would lie under a window-modal sheet, unreadable and unreachable.
void MainView::placeError(bool isShown) {
    placingError_ = true;
    // A text over a sheet is replaced by closing it (its card is built when shown), and closed
    // first so that it is not taken for the sheet on top.
    errorOverSheet_->setIsSome(false);
    QWidget* const sheet = isShown ? topSheet() : nullptr;
    if (isShown && sheet == nullptr) {
        errorInWindow_->change(errorMessage_->value());
    } else {
        errorInWindow_->setIsSome(false);
    }
    if (sheet != nullptr) {
        if (sheet != errorSheetHost_) {
            errorSheetHost_ = sheet;
            hostErrorsIn(*sheet);
        }
        errorOverSheet_->change(errorMessage_->value());
    }
    placingError_ = false;
}

// The same card as in the window, over the sheet's content: one look for the error dialog
// wherever it shows.
void MainView::hostErrorsIn(QWidget& sheet) {
    QLayout* const layout = sheet.layout();
    QWidget* const content =
        layout != nullptr && layout->count() > 0 ? layout->itemAt(0)->widget() : nullptr;
    if (content == nullptr) {
        return;
    }
    layout->removeWidget(content);
    layout->addWidget(lxDialog(content, platform::qt::isSomeBinding(errorOverSheet_),
                               errorCard(errorOverSheet_)));
}

// Sheets are dialogs of the window, and a sheet over a sheet a dialog of that one: the deepest
// shown modal dialog is on top.
QWidget* MainView::topSheet() const {
    QWidget* top = nullptr;
    int topDepth = 0;
    for (QDialog* dialog : window()->findChildren<QDialog*>()) {
        if (!dialog->isVisible() || dialog->windowModality() == Qt::NonModal) {
            continue;
        }
        int depth = 0;
        for (const QWidget* above = dialog; above != nullptr; above = above->parentWidget()) {
            ++depth;
        }
        if (depth > topDepth) {
            top = dialog;
            topDepth = depth;
        }
    }
    return top;
}

void MainView::closeOnDismiss(const std::shared_ptr<ErrorMessage>& shown) {
    platform::qt::bindPublisher(this, shown->isSomePublisher(), [this](bool isShown) {
        if (!isShown && !placingError_ && errorMessage_->isSome()) {
            errorMessage_->setIsSome(false);
        }
    });
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
    lx::setTextColor(text,
                     lx::readableTextColor(LxColor::systemRed(), LxColor::systemBackground()));
    QPalette background = text->palette();
    background.setColor(QPalette::Window, LxColor::systemBackground());
    text->setPalette(background);
    text->setAutoFillBackground(true);

    QWidget* close =
        LxDialogActionButton::done(QCoreApplication::translate("MainView", "Close"), closeHandler)
            .makeWidget();
    close->setObjectName("errorCloseButton");
    QWidget* card = LxDialog::create(text, {close});
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_Return),
                                    QKeySequence(Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(key, card);
        QObject::connect(shortcut, &QShortcut::activated, card, closeHandler);
    }
    return card;
}
