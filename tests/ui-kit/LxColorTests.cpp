#include <cmath>
#include <optional>
#include <string>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <gtest/gtest.h>

#include "support/QtApplicationTest.h"
#include "ui-kit/LxAssets.h"
#include "ui-kit/LxBundle.h"
#include "ui-kit/LxColor.h"

enum class KitAsset { accent, missing };

template <>
struct lx::RawValueTraits<KitAsset> {
    using RawValue = std::string;
    static RawValue rawValue(KitAsset asset) {
        return asset == KitAsset::accent ? "Accent" : "Missing";
    }
    static std::optional<KitAsset> fromRawValue(const RawValue& raw) {
        if (raw == "Accent") {
            return KitAsset::accent;
        }
        if (raw == "Missing") {
            return KitAsset::missing;
        }
        return std::nullopt;
    }
};

template <>
inline constexpr bool lx::isLxNamedColor<KitAsset> = true;
template <>
inline constexpr bool lx::isLxImageAsset<KitAsset> = true;
template <>
inline constexpr bool lx::isLxFontAsset<KitAsset> = true;

namespace {

class LxColorTest : public QtApplicationTest {};

// The palette's Base moved `towardText` of the way to its Text, at `alpha`.
QColor baseTowardText(const QPalette& palette, double towardText, int alpha = 255) {
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    const auto mix = [towardText](int from, int to) {
        return static_cast<int>(std::lround(from + (to - from) * towardText));
    };
    return QColor(mix(base.red(), text.red()), mix(base.green(), text.green()),
                  mix(base.blue(), text.blue()), alpha);
}

void expectNear(const QColor& actual, const QColor& expected) {
    EXPECT_NEAR(actual.red(), expected.red(), 1);
    EXPECT_NEAR(actual.green(), expected.green(), 1);
    EXPECT_NEAR(actual.blue(), expected.blue(), 1);
    EXPECT_NEAR(actual.alpha(), expected.alpha(), 1);
}

// A light palette gives the platform's light greys; a dark one their dark counterparts, so that
// the palette's text reads on every background.
TEST_F(LxColorTest, WithoutAssetsNamedColoursFollowThePalette) {
    struct Row {
        const char* name;
        QColor (*color)();
        double towardText;
        int alpha;
    };
    const Row rows[] = {
        {"systemFill", LxColor::systemFill, 0.5, 51},
        {"secondarySystemFill", LxColor::secondarySystemFill, 0.5, 41},
        {"tertiarySystemFill", LxColor::tertiarySystemFill, 0.5, 31},
        {"quaternarySystemFill", LxColor::quaternarySystemFill, 0.5, 20},
        {"opaqueSeparator", LxColor::opaqueSeparator, 0.22, 255},
        {"systemBackground", LxColor::systemBackground, 0, 255},
        {"secondarySystemBackground", LxColor::secondarySystemBackground, 0.05, 255},
        {"tertiarySystemBackground", LxColor::tertiarySystemBackground, 0, 255},
        {"systemGroupedBackground", LxColor::systemGroupedBackground, 0.05, 255},
        {"secondarySystemGroupedBackground", LxColor::secondarySystemGroupedBackground, 0, 255},
        {"tertiarySystemGroupedBackground", LxColor::tertiarySystemGroupedBackground, 0.05, 255},
        {"systemGray", LxColor::systemGray, 0.44, 255},
        {"systemGray2", LxColor::systemGray2, 0.32, 255},
        {"systemGray3", LxColor::systemGray3, 0.22, 255},
        {"systemGray4", LxColor::systemGray4, 0.18, 255},
        {"systemGray5", LxColor::systemGray5, 0.10, 255},
        {"systemGray6", LxColor::systemGray6, 0.05, 255},
    };
    const QPalette original = QGuiApplication::palette();
    QPalette light = original;
    light.setColor(QPalette::Base, Qt::white);
    light.setColor(QPalette::Text, Qt::black);
    QPalette dark = original;
    dark.setColor(QPalette::Base, QColor(45, 45, 45));
    dark.setColor(QPalette::Text, QColor(238, 238, 236));
    for (const auto& [appearance, palette] : {std::pair{"light", light}, std::pair{"dark", dark}}) {
        SCOPED_TRACE(appearance);
        QGuiApplication::setPalette(palette);
        for (const Row& row : rows) {
            SCOPED_TRACE(row.name);
            expectNear(row.color(), baseTowardText(palette, row.towardText, row.alpha));
        }
    }
    QGuiApplication::setPalette(light);
    expectNear(LxColor::systemBackground(), Qt::white);
    expectNear(LxColor::secondarySystemBackground(), QColor(242, 242, 242));
    QGuiApplication::setPalette(original);
}

TEST_F(LxColorTest, AnAssetWinsOverThePaletteForAsLongAsItExists) {
    const QPalette palette = QGuiApplication::palette();
    LxBundle::main().setColor("SystemFill", QColor(1, 2, 3));
    EXPECT_EQ(LxColor::systemFill(), QColor(1, 2, 3));
    EXPECT_EQ(LxColor::named("SystemFill"), QColor(1, 2, 3));
    expectNear(LxColor::secondarySystemFill(), baseTowardText(palette, 0.5, 41));

    LxBundle::main().removeColor("SystemFill");
    expectNear(LxColor::systemFill(), baseTowardText(palette, 0.5, 51));
    EXPECT_EQ(LxColor::named("SystemFill").alpha(), 0);
}

// Black at half opacity darkens whatever lies under it, light or dark.
TEST_F(LxColorTest, TheVeilDimsAndTheFocusIndicatorIsTheHighlight) {
    EXPECT_EQ(LxColor::dimmingVeil(), QColor(0, 0, 0, 128));
    const QPalette original = QGuiApplication::palette();
    QPalette palette = original;
    palette.setColor(QPalette::Highlight, QColor(21, 83, 158));
    QGuiApplication::setPalette(palette);
    EXPECT_EQ(LxColor::focusIndicator(), QColor(21, 83, 158));
    QGuiApplication::setPalette(original);
}

TEST_F(LxColorTest, SystemColoursFollowTheApplicationPalette) {
    const QPalette original = QGuiApplication::palette();
    QPalette palette = original;
    palette.setColor(QPalette::WindowText, QColor(10, 20, 30));
    palette.setColor(QPalette::Link, QColor(0, 0, 200));
    QGuiApplication::setPalette(palette);

    EXPECT_EQ(LxColor::label(), QColor(10, 20, 30));
    EXPECT_EQ(LxColor::label(), LxColor::revisedSystemBackground());
    EXPECT_EQ(LxColor::secondaryLabel().rgb(), QColor(10, 20, 30).rgb());
    EXPECT_NEAR(LxColor::secondaryLabel().alphaF(), 0.5, 0.01);
    EXPECT_NEAR(LxColor::tertiaryLabel().alphaF(), 0.26, 0.01);
    EXPECT_EQ(LxColor::link(), QColor(0, 0, 200));
    QGuiApplication::setPalette(original);
}

TEST_F(LxColorTest, AssetEnumerationsLookTheirNamesUpInTheBundle) {
    const QString folder = qEnvironmentVariable("TMPDIR");
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(folder + "/Accent.png"));
    LxBundle bundle(folder);
    bundle.setColor("Accent", QColor(9, 8, 7));

    EXPECT_EQ(lx::uiColor(KitAsset::accent, &bundle), QColor(9, 8, 7));
    EXPECT_EQ(lx::color(KitAsset::accent, &bundle), QColor(9, 8, 7));
    EXPECT_EQ(lx::uiColor(KitAsset::missing, &bundle), std::nullopt);
    EXPECT_EQ(lx::color(KitAsset::missing, &bundle).alpha(), 0);
    EXPECT_EQ(lx::uiColor(KitAsset::accent), std::nullopt) << "the main bundle has no Accent";

    EXPECT_EQ(lx::load(KitAsset::accent, &bundle).size(), QSize(3, 2));
    EXPECT_TRUE(lx::load(KitAsset::missing, &bundle).isNull());
    EXPECT_TRUE(bundle.image("../Accent").isNull());

    EXPECT_EQ(lx::loadWithSize(KitAsset::accent, 13.4).pixelSize(), 13);
    EXPECT_EQ(lx::loadWithSize(KitAsset::accent, 0).pixelSize(), 1);
}

}  // namespace
