#include "ui-kit/LxContrast.h"

#include <algorithm>
#include <cmath>

namespace {

double linearChannel(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double relativeLuminance(const QColor& color) {
    return 0.2126 * linearChannel(color.redF()) + 0.7152 * linearChannel(color.greenF()) +
           0.0722 * linearChannel(color.blueF());
}

}  // namespace

namespace lx {

double contrastRatio(const QColor& first, const QColor& second) {
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor composited(const QColor& over, const QColor& background) {
    const double alpha = over.alphaF();
    const auto mix = [alpha](double top, double bottom) {
        return static_cast<float>(top * alpha + bottom * (1 - alpha));
    };
    return QColor::fromRgbF(mix(over.redF(), background.redF()),
                            mix(over.greenF(), background.greenF()),
                            mix(over.blueF(), background.blueF()));
}

// The ink is moved toward black or white, whichever reads better on the background, only as far
// as it must: a tint keeps its hue, a faint label stays as faint as it can.
QColor readableTextColor(const QColor& preferred, const QColor& background,
                         double minimumContrast) {
    const QColor opaqueBackground = composited(background, Qt::white);
    const QColor shown = composited(preferred, opaqueBackground);
    if (contrastRatio(shown, opaqueBackground) >= minimumContrast) {
        return shown;
    }
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    QColor extreme =
        contrastRatio(black, opaqueBackground) >= contrastRatio(white, opaqueBackground) ? black
                                                                                         : white;
    // Laid over ever more thickly, the ink reads better once it is past the background's own
    // lightness, and then better and better: the thinnest layer that reads is found by halving.
    const auto inkAt = [&extreme, &shown](int alpha) {
        QColor layer = extreme;
        layer.setAlpha(alpha);
        return composited(layer, shown);
    };
    int low = 1;
    int high = 255;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (contrastRatio(inkAt(middle), opaqueBackground) >= minimumContrast) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    if (high == 255) {
        extreme.setAlpha(255);
        return extreme;
    }
    return inkAt(high);
}

}  // namespace lx
