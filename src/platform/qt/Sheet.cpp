#include "platform/qt/Sheet.h"

#include <utility>

#include <QDialog>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/reactive/AnyCancellable.h"

namespace platform::qt {

namespace {

// A child of the host; it presents and closes the dialog as the flag says.
class SheetPresenter final : public QObject {
public:
    SheetPresenter(QWidget* host, Binding<bool> isPresented, SheetContent content)
        : QObject(host),
          host_(host),
          isPresented_(std::move(isPresented)),
          content_(std::move(content)) {
        // Subscribed last: the current value arrives at once and may present the sheet.
        subscription_ = isPresented_.changes.sink([this](bool presented) {
            if (presented) {
                present();
            } else {
                close();
            }
        });
    }

    ~SheetPresenter() override {
        subscription_.cancel();
        close();
    }

private:
    void present() {
        if (dialog_) {
            return;
        }
        QWidget* const window = host_->window();
        auto* dialog = new QDialog(window, sheetWindowFlags());
        dialog_ = dialog;
        dialog->setWindowModality(Qt::WindowModal);
        passOnShortcuts(*window, dialog);
        window->installEventFilter(this);
        auto* layout = new QVBoxLayout(dialog);
        layout->setContentsMargins(0, 0, 0, 0);
        const QPointer<QDialog> guard(dialog);
        layout->addWidget(content_([guard] {
            if (guard) {
                guard->reject();
            }
        }));
        // Only for the dialog closed from outside: a close asked for by the flag has already
        // forgotten it.
        QObject::connect(dialog, &QDialog::finished, this, [this, dialog] {
            dialog->deleteLater();
            if (dialog_ != dialog) {
                return;
            }
            dialog_ = nullptr;
            if (isPresented_.get()) {
                isPresented_.set(false);
            }
        });
        adoptDefaultButton(dialog);
        dialog->open();
        // Content that builds itself when shown (a lazy view) has its size only now.
        dialog->adjustSize();
    }

    // A window manager activates the window that was clicked, modal sheet or not.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowActivate && dialog_ && dialog_->isVisible() &&
            watched == host_->window()) {
            QTimer::singleShot(0, dialog_, [dialog = dialog_] {
                dialog->raise();
                dialog->activateWindow();
            });
        }
        return false;
    }

    // A button made the default before it was in a dialog is the default of no dialog, and the
    // dialog would make its first button the default one when shown.
    static void adoptDefaultButton(QDialog* dialog) {
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->isDefault()) {
                button->setDefault(false);
                button->setDefault(true);
                return;
            }
        }
    }

    // The copy closes the sheet (writing false) and then lets the window's shortcut act.
    static void passOnShortcuts(const QWidget& window, QDialog* dialog) {
        for (QShortcut* original : window.findChildren<QShortcut*>(Qt::FindDirectChildrenOnly)) {
            if (!original->isEnabled() || original->context() != Qt::WindowShortcut) {
                continue;
            }
            auto* copy = new QShortcut(original->key(), dialog);
            QObject::connect(copy, &QShortcut::activated, dialog,
                             [dialog, original = QPointer<QShortcut>(original)] {
                                 dialog->reject();
                                 if (original) {
                                     emit original->activated();
                                 }
                             });
        }
    }

    void close() {
        QDialog* const dialog = dialog_;
        if (dialog == nullptr) {
            return;
        }
        dialog_ = nullptr;
        // A dialog closing may be inside the click of one of its own buttons: delete it later.
        dialog->done(QDialog::Rejected);
        dialog->deleteLater();
    }

    QWidget* host_;
    Binding<bool> isPresented_;
    SheetContent content_;
    QPointer<QDialog> dialog_;
    platform::reactive::AnyCancellable subscription_;
};

}  // namespace

Qt::WindowFlags sheetWindowFlags() {
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

void sheet(QWidget* host, Binding<bool> isPresented, SheetContent content) {
    new SheetPresenter(host, std::move(isPresented), std::move(content));
}

}  // namespace platform::qt
