#pragma once

#include <functional>

#include <QPointer>
#include <QWidget>

// A view whose content is made only when it is shown: `build` runs each time the view is shown,
// never before, and the content it made is let go when the view is hidden. A sheet's content
// made this way shows the state of the moment it opens, not of the moment the sheet was
// declared. Showing and hiding by the window system (minimising) keeps the content.
//
// Example:
//   auto* view = new LxLazyView([state] { return new ResultView(*state->value()); });
class LxLazyView final : public QWidget {
public:
    explicit LxLazyView(std::function<QWidget*()> build, QWidget* parent = nullptr);

    // The content of the current showing; none while hidden.
    QWidget* content() const { return content_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void discardContent();

    std::function<QWidget*()> build_;
    QPointer<QWidget> content_;
};
