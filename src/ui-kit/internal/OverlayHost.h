#pragma once

#include <optional>

#include <QPointer>
#include <QWidget>

#include "platform/qt/Binding.h"
#include "platform/qt/Sheet.h"
#include "platform/reactive/AnyCancellable.h"

namespace lx::internal {

// A view that lays layers of its own over a content view while a flag holds: the kit's modal
// dialog and its progress HUD. The content fills the host inside a container, the host's first
// child, so every layer a subclass makes lies above it. The subclass places its layers over
// the host's area whenever the host's size or the size of what it holds changes.
//
// Main thread only; the flag must change there.
class OverlayHost : public QWidget {
public:
    QWidget* content() const { return content_; }

protected:
    OverlayHost(QWidget* content, platform::qt::Binding<bool> presented, QWidget* parent);
    ~OverlayHost() override;

    // Starts watching the flag (its current value arrives at once); the subclass calls it last
    // in its constructor, when its layers exist, and `stopWatching()` first in its destructor.
    void watchPresented();
    void stopWatching();

    // Writes the flag through its binding. The write may delete this host.
    void writePresented(bool presented);
    // Writes false through the binding; does nothing once the host is gone.
    platform::qt::Dismiss dismissAction();

    // Disables the content and, when a radius is given, blurs it by that radius (0 included);
    // no blur effect at all without one.
    void coverContent(std::optional<double> blurRadius);
    void uncoverContent();
    QWidget* contentContainer() const { return container_; }

    // Every value of the flag, equal ones included.
    virtual void presentedChanged(bool presented) = 0;
    virtual void placeLayers() = 0;

    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* container_;
    QPointer<QWidget> content_;
    platform::qt::Binding<bool> presented_;
    platform::reactive::AnyCancellable subscription_;
};

}  // namespace lx::internal
