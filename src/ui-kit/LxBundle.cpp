#include "ui-kit/LxBundle.h"

#include <utility>

#include <QImageReader>

LxBundle& LxBundle::main() {
    // Never destroyed: palette colours may be read while the process exits.
    static auto& bundle = *new LxBundle(QStringLiteral(":"));
    return bundle;
}

LxBundle::LxBundle(QString imageFolder) : imageFolder_(std::move(imageFolder)) {}

std::optional<QColor> LxBundle::colorNamed(const QString& name) const {
    const std::lock_guard lock(mutex_);
    const auto found = colors_.find(name);
    if (found == colors_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void LxBundle::setColor(const QString& name, const QColor& color) {
    const std::lock_guard lock(mutex_);
    colors_.insert_or_assign(name, color);
}

void LxBundle::removeColor(const QString& name) {
    const std::lock_guard lock(mutex_);
    colors_.erase(name);
}

QImage LxBundle::image(const QString& name) const {
    // A name that climbs out of the folder or names a sub-folder is no image of this bundle.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String("..") ||
        name == QLatin1String(".")) {
        return {};
    }
    for (const QString& fileName : {name, name + QStringLiteral(".png")}) {
        QImageReader reader(imageFolder_ + QLatin1Char('/') + fileName);
        QImage image = reader.read();
        if (!image.isNull()) {
            return image;
        }
    }
    return {};
}
