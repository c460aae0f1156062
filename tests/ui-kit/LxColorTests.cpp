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

TEST_F(LxColorTest, WithoutAssetsNamedColoursAreTheirExactFallbacks) {
    struct Row {
        const char* name;
        QColor (*color)();
        QRgb expected;
    };
    const Row rows[] = {
        {"systemFill", LxColor::systemFill, qRgba(120, 120, 128, 51)},
        {"secondarySystemFill", LxColor::secondarySystemFill, qRgba(120, 120, 128, 40)},
        {"tertiarySystemFill", LxColor::tertiarySystemFill, qRgba(118, 118, 128, 30)},
        {"quaternarySystemFill", LxColor::quaternarySystemFill, qRgba(116, 116, 128, 20)},
        {"opaqueSeparator", LxColor::opaqueSeparator, qRgba(198, 198, 200, 255)},
        {"systemBackground", LxColor::systemBackground, qRgba(255, 255, 255, 255)},
        {"secondarySystemBackground", LxColor::secondarySystemBackground,
         qRgba(242, 242, 247, 255)},
        {"tertiarySystemBackground", LxColor::tertiarySystemBackground, qRgba(255, 255, 255, 255)},
        {"systemGroupedBackground", LxColor::systemGroupedBackground, qRgba(242, 242, 247, 255)},
        {"secondarySystemGroupedBackground", LxColor::secondarySystemGroupedBackground,
         qRgba(255, 255, 255, 255)},
        {"tertiarySystemGroupedBackground", LxColor::tertiarySystemGroupedBackground,
         qRgba(242, 242, 247, 255)},
        {"systemGray2", LxColor::systemGray2, qRgba(174, 174, 178, 255)},
        {"systemGray3", LxColor::systemGray3, qRgba(199, 199, 204, 255)},
        {"systemGray4", LxColor::systemGray4, qRgba(209, 209, 214, 255)},
        {"systemGray5", LxColor::systemGray5, qRgba(229, 229, 234, 255)},
        {"systemGray6", LxColor::systemGray6, qRgba(242, 242, 247, 255)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.color().rgba(), row.expected);
    }
}

TEST_F(LxColorTest, AnAssetWinsOverTheFallbackForAsLongAsItExists) {
    LxBundle::main().setColor("SystemFill", QColor(1, 2, 3));
    EXPECT_EQ(LxColor::systemFill(), QColor(1, 2, 3));
    EXPECT_EQ(LxColor::named("SystemFill"), QColor(1, 2, 3));
    EXPECT_EQ(LxColor::secondarySystemFill().rgba(), qRgba(120, 120, 128, 40));

    LxBundle::main().removeColor("SystemFill");
    EXPECT_EQ(LxColor::systemFill().rgba(), qRgba(120, 120, 128, 51));
    EXPECT_EQ(LxColor::named("SystemFill").alpha(), 0);
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
