#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include <QAbstractAnimation>
#include <QImage>
#include <QPainter>
#include <QVariantAnimation>
#include <gtest/gtest.h>

#include "support/QtApplicationTest.h"
#include "support/ViewRendering.h"
#include "ui-kit/LxDefaultSpinner.h"

namespace {

struct SpinnerGeometry {
    double size;
    std::size_t dotCount;
    double diameter;
    double radius;
};

TEST(LxDefaultSpinnerTest, TheSizeDecidesTheDotCountDiameterAndRadius) {
    const std::vector<SpinnerGeometry> table = {
        {0, 11, 0, 0},
        {40, 12, 8, 20},
        {60, 12, 12, 30},
        {80, 13, 14, 40},
        {120, 14, 21, 60},
        {150, 14, 25, 75},
        {160, 15, 23, 80},
        {180, 15, 26, 90},
        {300, 18, 38, 150},
        {640, 27, 64, 320},
        {642, 27, 49, 321},
        // Not sizes a ring can have: no negative count, no millions of dots.
        {-5, 11, 0, 0},
        {std::numeric_limits<double>::quiet_NaN(), 11, 0, 0},
        {1e9, 215, 615, 4096},
        {std::numeric_limits<double>::infinity(), 215, 615, 4096},
    };
    for (const SpinnerGeometry& row : table) {
        SCOPED_TRACE(row.size);
        const std::vector<DefaultSpinnerDot> dots = LxDefaultSpinner::dots(row.size);
        ASSERT_EQ(dots.size(), row.dotCount);
        for (const DefaultSpinnerDot& dot : dots) {
            EXPECT_EQ(dot.diameter(), row.diameter);
            EXPECT_EQ(dot.spinnerRadius, row.radius);
        }
    }
}

TEST(LxDefaultSpinnerTest, AnglesAreWholeDegreesTruncatedAndOpacitiesFade) {
    const std::vector<double> thirteen = {0,    -27,  -55,  -83,  -110, -138, -166,
                                          -193, -221, -249, -276, -304, -332};
    const std::vector<DefaultSpinnerDot> ring13 = LxDefaultSpinner::dots(80);
    ASSERT_EQ(ring13.size(), thirteen.size());
    for (std::size_t index = 0; index < thirteen.size(); ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(ring13[index].rotationDegree, thirteen[index]);
        EXPECT_DOUBLE_EQ(ring13[index].opacity, 1 - index / 13.0);
    }
    const std::vector<DefaultSpinnerDot> ring15 = LxDefaultSpinner::dots(180);
    ASSERT_EQ(ring15.size(), 15u);
    for (std::size_t index = 0; index < 15; ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(ring15[index].rotationDegree, -24.0 * static_cast<double>(index));
        EXPECT_DOUBLE_EQ(ring15[index].opacity, 1 - index / 15.0);
    }
}

class LxDefaultSpinnerViewTest : public QtApplicationTest {
protected:
    static QImage picture(LxDefaultSpinner& spinner) {
        QImage image(spinner.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        spinner.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }

    // The pixel `radius` points from the centre at `degrees`, clockwise on screen.
    static QColor at(const QImage& image, double radius, double degrees) {
        const double radians = degrees * std::numbers::pi / 180;
        const QPointF centre = QRectF(image.rect()).center();
        return image.pixelColor(
            static_cast<int>(std::floor(centre.x() + radius * std::cos(radians))),
            static_cast<int>(std::floor(centre.y() + radius * std::sin(radians))));
    }
};

TEST_F(LxDefaultSpinnerViewTest, TheBrightestDotLeadsClockwiseAndTheRingTurnsOnlyWhileShown) {
    LxDefaultSpinner spinner(180);
    spinner.resize(spinner.sizeHint());
    EXPECT_EQ(spinner.sizeHint(), QSize(206, 206)) << "ring of 180 with dots of 26";
    const QImage still = picture(spinner);
    EXPECT_EQ(at(still, 90, 0), QColor(255, 255, 255, 255));
    // The second dot sits above the first on screen, the last one below.
    const QColor second = at(still, 90, -24);
    EXPECT_EQ(second.rgb() | 0xff000000, qRgb(255, 255, 255));
    EXPECT_NEAR(second.alpha(), 238, 1);
    EXPECT_NEAR(at(still, 90, 24).alpha(), 17, 1);
    EXPECT_EQ(at(still, 0, 0).alpha(), 0);
    EXPECT_EQ(at(still, 60, 0).alpha(), 0) << "the dots sit on the ring, not inside it";
    // White dots are seen on the HUD's dim layer.
    QImage onDim(still.size(), QImage::Format_ARGB32);
    onDim.fill(QColor(64, 64, 64));
    QPainter(&onDim).drawImage(0, 0, still);
    keepPicture(onDim, "spinner-180");

    EXPECT_EQ(spinner.rotation()->state(), QAbstractAnimation::Stopped);
    spinner.show();
    EXPECT_EQ(spinner.rotation()->state(), QAbstractAnimation::Running);
    EXPECT_EQ(spinner.rotation()->duration(), 2000);
    EXPECT_EQ(spinner.rotation()->loopCount(), -1);
    spinner.rotation()->setCurrentTime(500);
    EXPECT_DOUBLE_EQ(spinner.ringAngle(), 90);
    const QImage quarter = picture(spinner);
    EXPECT_EQ(at(quarter, 90, 90).alpha(), 255) << "a quarter turn clockwise: the lead dot below";
    EXPECT_NEAR(at(quarter, 90, 90 - 24).alpha(), 238, 1);

    spinner.hide();
    EXPECT_EQ(spinner.rotation()->state(), QAbstractAnimation::Stopped);
}

}  // namespace
