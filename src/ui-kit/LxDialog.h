#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QWidget>

#include "platform/qt/Binding.h"
#include "platform/qt/Sheet.h"
#include "ui-kit/internal/OverlayHost.h"

// The kit's in-window modal dialog.
namespace LxDialog {

// The dialog card: `content` centred above a row of `actions`, with a gap of one point between
// them and between neighbouring actions, through which whatever lies behind the card shows.
// The actions share the row's width equally. The card is as wide as the wider of the content
// and the row (each action at least at its natural width); its height follows.
//
// Example:
//   LxDialog::create(message, {LxDialogActionButton::done("Close", dismiss).makeWidget()});
QWidget* create(QWidget* content, const std::vector<QWidget*>& actions);

}  // namespace LxDialog

// Builds a dialog card; `dismiss` closes the dialog (writes false through its binding).
using LxDialogBuilder = std::function<QWidget*(const platform::qt::Dismiss& dismiss)>;

// A view with a dialog over it while a flag holds.
//
// While `presented` is true the content is blurred (radius 5) and disabled, a veil of
// LxColor::dimmingVeil() covers the whole host, and the card that the builder made lies
// centred on top with rounded, antialiased corners (radius 12) and a shadow. The veil fades in, the
// card springs in from nothing, and both fade away when the flag turns false (see
// LxAnimation). The card is built when the flag turns true and built anew, without animation,
// whenever true is written again while it shows, so it always shows the state of the moment;
// it is deleted when the flag turns false. Only `dismiss` (or whoever holds the flag) closes
// the dialog. Main thread only; the flag must change there.
class LxDialogHost final : public lx::internal::OverlayHost {
public:
    LxDialogHost(QWidget* content, platform::qt::Binding<bool> presented, LxDialogBuilder builder,
                 QWidget* parent = nullptr);
    ~LxDialogHost() override;

    bool isPresented() const;

protected:
    void presentedChanged(bool presented) override;
    void placeLayers() override;

private:
    class Layers;

    void present();
    void dismiss();
    void rebuildCard();
    bool animates() const;

    LxDialogBuilder builder_;
    std::unique_ptr<Layers> layers_;
    bool isPresented_ = false;
};

// `content` in a dialog host (its new parent), with the dialog `builder` makes shown over it
// while `presented` holds.
//
// Example:
//   auto* host = lxDialog(panes, platform::qt::isSomeBinding(errorMessage),
//                         [errorMessage](const platform::qt::Dismiss& dismiss) {
//                             return makeErrorMessageDialog(*errorMessage->value(), dismiss);
//                         });
LxDialogHost* lxDialog(QWidget* content, platform::qt::Binding<bool> presented,
                       LxDialogBuilder builder);
