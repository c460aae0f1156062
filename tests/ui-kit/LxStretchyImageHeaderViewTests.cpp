#include <limits>
#include <memory>
#include <vector>

#include <QImage>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "support/QtApplicationTest.h"
#include "support/ViewRendering.h"
#include "ui-kit/LxStretchyImageHeaderView.h"

namespace {

using Layout = LxStretchyImageHeaderView::Layout;

struct HeaderCase {
    double minY;
    double height;
    Layout expected;
};

TEST(LxStretchyImageHeaderViewTest, ThePositionDecidesWhereTheImageGoesAndHowOpaque) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<HeaderCase> table = {
        {0, 100, {QRectF(0, 0, 300, 100), 1}},
        {-50, 100, {QRectF(0, 0, 300, 100), 0.5}},
        {-100, 100, {QRectF(0, 0, 300, 100), 0}},
        {-200, 100, {QRectF(0, 0, 300, 100), -1}},  // drawn as transparent
        {40, 100, {QRectF(0, -40, 300, 140), 1}},
        {0, 0, {}},
        {-10, 0, {}},
        {10, -5, {}},
        {0, nan, {}},
    };
    for (const HeaderCase& row : table) {
        SCOPED_TRACE(testing::Message() << "minY " << row.minY << ", height " << row.height);
        EXPECT_EQ(LxStretchyImageHeaderView::headerLayout(row.minY, row.height, 300), row.expected);
    }
}

class LxStretchyImageHeaderViewWidgetTest : public QtApplicationTest {
protected:
    void SetUp() override {
        QtApplicationTest::SetUp();
        window_ = std::make_unique<QWidget>();
    }

    void TearDown() override {
        window_.reset();
        processEvents();
        QtApplicationTest::TearDown();
    }

    // Blue on the left half, red on the right; twice as wide as tall.
    static QImage picture() {
        QImage image(200, 100, QImage::Format_RGB32);
        image.fill(Qt::red);
        QPainter(&image).fillRect(0, 0, 100, 100, Qt::blue);
        return image;
    }

    std::unique_ptr<QWidget> window_;
    std::vector<double> offsets_;
};

TEST_F(LxStretchyImageHeaderViewWidgetTest, AHeaderBelowTheWindowTopIsPulledDownByThatDistance) {
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* above = new QWidget;
    above->setFixedHeight(30);
    layout->addWidget(above);
    auto* header = new LxStretchyImageHeaderView(picture(), 100,
                                                 [this](double minY) { offsets_.push_back(minY); });
    layout->addWidget(header);
    layout->addStretch();
    window_->resize(300, 300);
    EXPECT_TRUE(offsets_.empty()) << "nothing before the header is shown";
    window_->show();
    processEvents();
    ASSERT_FALSE(offsets_.empty());
    EXPECT_EQ(offsets_.front(), 30);
    EXPECT_EQ(offsets_.back(), 30);
    EXPECT_EQ(header->height(), 100);
    // Filled, not stretched: the 2:1 picture covers the 3:1 header, cropped above and below.
    const QImage shown = header->grab().toImage();
    EXPECT_EQ(shown.pixelColor(10, 50), QColor(Qt::blue));
    EXPECT_EQ(shown.pixelColor(290, 50), QColor(Qt::red));
}

TEST_F(LxStretchyImageHeaderViewWidgetTest, ScrollingAnEnclosingAreaReportsAndFadesTheHeader) {
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    auto* scrollArea = new QScrollArea;
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setWidgetResizable(true);
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* page = new QWidget;
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    auto* header = new LxStretchyImageHeaderView(picture(), 100,
                                                 [this](double minY) { offsets_.push_back(minY); });
    pageLayout->addWidget(header);
    auto* body = new QWidget;
    body->setFixedHeight(1000);
    pageLayout->addWidget(body);
    scrollArea->setWidget(page);
    layout->addWidget(scrollArea);
    window_->resize(300, 300);
    window_->show();
    processEvents();
    ASSERT_FALSE(offsets_.empty());
    EXPECT_EQ(offsets_.back(), 0);

    offsets_.clear();
    scrollArea->verticalScrollBar()->setValue(50);
    ASSERT_FALSE(offsets_.empty()) << "a scroll by copying pixels went unnoticed";
    EXPECT_EQ(offsets_.back(), -50);
    processEvents();
    const QImage shown = window_->grab().toImage();
    keepPicture(shown, "stretchy-header-scrolled-half");
    // Half of the header's height scrolled away: the image at half opacity over the window.
    const QColor halfRed = shown.pixelColor(290, 20);
    const QColor behind = window_->palette().color(QPalette::Window);
    EXPECT_NEAR(halfRed.red(), (255 + behind.red()) / 2, 2);
    EXPECT_NEAR(halfRed.green(), behind.green() / 2, 2);
}

TEST_F(LxStretchyImageHeaderViewWidgetTest, ACallbackThatChangesTheLayoutDoesNotReenterIt) {
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* above = new QWidget;
    layout->addWidget(above);
    int depth = 0;
    int deepest = 0;
    auto* header = new LxStretchyImageHeaderView(picture(), 100, [&](double minY) {
        ++depth;
        deepest = std::max(deepest, depth);
        offsets_.push_back(minY);
        above->setFixedHeight(above->height() + 10);  // moves the header
        layout->activate();
        --depth;
    });
    layout->addWidget(header);
    layout->addStretch();
    window_->resize(300, 400);
    window_->show();
    processEvents();
    EXPECT_FALSE(offsets_.empty());
    EXPECT_EQ(deepest, 1);

    // Without a callback nothing is called, and nothing breaks.
    window_ = std::make_unique<QWidget>();
    auto* quiet = new LxStretchyImageHeaderView(picture(), 0, {}, window_.get());
    window_->show();
    processEvents();
    EXPECT_EQ(quiet->height(), 0);
}

}  // namespace
