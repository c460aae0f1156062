#include <limits>
#include <memory>
#include <string>
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

// A window holding a band of `bandHeight` above a 100-point header showing a picture whose top
// rows are yellow: at rest with no band, pulled down by the band's height otherwise.
class PulledHeaderTest : public LxStretchyImageHeaderViewWidgetTest {
protected:
    static constexpr int kYellowRows = 10;
    static constexpr QRgb kBand = 0xff00c000;

    // Blue on the left half, red on the right, its top rows yellow; twice as wide as tall.
    static QImage toppedPicture() {
        QImage image = picture();
        QPainter(&image).fillRect(0, 0, 200, kYellowRows, Qt::yellow);
        return image;
    }

    // In a scroll area, as a header is used: the band and the header at the top of its page.
    void build(const QPalette& palette, int bandHeight) {
        window_->setPalette(palette);
        auto* windowLayout = new QVBoxLayout(window_.get());
        windowLayout->setContentsMargins(0, 0, 0, 0);
        scrollArea_ = new QScrollArea;
        scrollArea_->setFrameShape(QFrame::NoFrame);
        scrollArea_->setWidgetResizable(true);
        scrollArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        band_ = new QWidget;
        band_->setAutoFillBackground(true);
        QPalette bandColour = palette;
        bandColour.setColor(QPalette::Window, QColor::fromRgb(kBand));
        band_->setPalette(bandColour);
        band_->setFixedHeight(bandHeight);
        layout->addWidget(band_);
        header_ = new LxStretchyImageHeaderView(toppedPicture(), 100);
        layout->addWidget(header_);
        auto* body = new QWidget;
        body->setFixedHeight(1000);
        layout->addWidget(body);
        scrollArea_->setWidget(page);
        windowLayout->addWidget(scrollArea_);
        window_->resize(200, 300);
        window_->show();
        processEvents();
    }

    void setBandHeight(int height) {
        band_->setFixedHeight(height);
        processEvents();
    }

    QImage shown() const { return window_->grab().toImage(); }

    static QPalette lightPalette() { return QPalette(QColor(240, 240, 240)); }
    static QPalette darkPalette() { return QPalette(QColor(40, 40, 44)); }

    QScrollArea* scrollArea_ = nullptr;
    QWidget* band_ = nullptr;
    LxStretchyImageHeaderView* header_ = nullptr;
};

TEST_F(PulledHeaderTest, PulledDownTheImageFillsFromTheWindowsTopEdgeToTheHeadersBottom) {
    build(lightPalette(), 40);
    ASSERT_EQ(header_->minY(), 40);
    const QImage pulled = shown();
    keepPicture(pulled, "stretchy-header-pulled-down-light");
    for (int y = 0; y < 140; ++y) {
        for (int x = 0; x < 200; ++x) {
            ASSERT_NE(pulled.pixel(x, y), kBand) << "the band shows at " << x << "," << y;
        }
    }
    // 140 points tall and filled by height: the image's yellow top rows (14 points) from the
    // window's top edge on, then its blue and red halves.
    for (const int x : {5, 100, 195}) {
        EXPECT_EQ(pulled.pixelColor(x, 0), QColor(Qt::yellow)) << x;
        EXPECT_EQ(pulled.pixelColor(x, 12), QColor(Qt::yellow)) << x;
    }
    EXPECT_EQ(pulled.pixelColor(10, 70), QColor(Qt::blue));
    EXPECT_EQ(pulled.pixelColor(190, 70), QColor(Qt::red));
    EXPECT_EQ(pulled.pixelColor(100, 150), window_->palette().color(QPalette::Window));

    // Back at rest, nothing of the pulled image stays behind, and the band is seen again.
    setBandHeight(10);
    const QImage nearlyAtRest = shown();
    EXPECT_NE(nearlyAtRest.pixel(100, 0), kBand);
    setBandHeight(0);
    header_->update();
    processEvents();
    const QImage atRest = shown();
    EXPECT_EQ(atRest.pixelColor(100, 0), QColor(Qt::yellow));
    EXPECT_EQ(atRest.pixelColor(10, 50), QColor(Qt::blue));
    EXPECT_EQ(atRest.pixelColor(100, 120), window_->palette().color(QPalette::Window));
}

TEST_F(PulledHeaderTest, TheThreeStatesAreRenderedInALightAndADarkPalette) {
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        const std::string palette = dark ? "dark" : "light";
        window_ = std::make_unique<QWidget>();
        build(dark ? darkPalette() : lightPalette(), 0);
        const QImage atRest = shown();
        keepPicture(atRest, "stretchy-header-at-rest-" + palette);
        EXPECT_EQ(atRest.pixelColor(100, 0), QColor(Qt::yellow));
        EXPECT_EQ(atRest.pixelColor(100, 150), window_->palette().color(QPalette::Window));

        setBandHeight(60);
        const QImage pulled = shown();
        keepPicture(pulled, "stretchy-header-pulled-down-" + palette);
        EXPECT_EQ(pulled.pixelColor(100, 0), QColor(Qt::yellow));
        EXPECT_EQ(pulled.pixelColor(100, 170), window_->palette().color(QPalette::Window));

        // Scrolled up by half its height: the header's lower half at half opacity.
        setBandHeight(0);
        scrollArea_->verticalScrollBar()->setValue(50);
        processEvents();
        ASSERT_EQ(header_->minY(), -50);
        const QImage scrolled = shown();
        keepPicture(scrolled, "stretchy-header-scrolled-half-" + palette);
        const QColor behind = window_->palette().color(QPalette::Window);
        const QColor halfRed = scrolled.pixelColor(190, 20);
        EXPECT_NEAR(halfRed.red(), (255 + behind.red()) / 2, 2);
        EXPECT_NEAR(halfRed.blue(), behind.blue() / 2, 2);
    }
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
