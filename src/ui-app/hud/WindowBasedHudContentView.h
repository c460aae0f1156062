#pragma once

#include <QString>
#include <QWidget>

class QLabel;

// The box in the middle of the busy overlay: the title in black on white, at least 100 × 50,
// with rounded corners (radius 8). The title is shown as given, never as rich text.
class WindowBasedHudContentView final : public QWidget {
public:
    explicit WindowBasedHudContentView(const QString& title, QWidget* parent = nullptr);

    QString title() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* titleLabel_;
};
