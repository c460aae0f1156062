#include "platform/qt/Sheet.h"

#include <utility>

#include <QDialog>
#include <QObject>
#include <QPointer>
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
        auto* dialog = new QDialog(host_->window());
        dialog_ = dialog;
        dialog->setWindowModality(Qt::WindowModal);
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
        dialog->open();
        // Content that builds itself when shown (a lazy view) has its size only now.
        dialog->adjustSize();
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

void sheet(QWidget* host, Binding<bool> isPresented, SheetContent content) {
    new SheetPresenter(host, std::move(isPresented), std::move(content));
}

}  // namespace platform::qt
