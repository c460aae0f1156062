#pragma once

#include <map>
#include <mutex>
#include <optional>

#include <QColor>
#include <QImage>
#include <QString>

// A set of named resources: colour assets, kept by name, and images, read from a folder.
//
// `LxBundle::main()` is the application's own, with its images under the Qt resource root
// ":/"; it starts without colour assets, so every palette colour shows its fallback until the
// application adds an asset of that name. Operations that take a bundle take a pointer, null
// meaning the main bundle. Lookups read the current assets every time; any thread may use a
// bundle.
//
// Example:
//   LxBundle::main().setColor("SystemFill", QColor(0, 0, 0, 40));
//   const QImage logo = LxBundle::main().image("Logo");
class LxBundle {
public:
    static LxBundle& main();

    // Images are read from `imageFolder`: a folder path or a Qt resource prefix (":/kit").
    explicit LxBundle(QString imageFolder);
    LxBundle(const LxBundle&) = delete;
    LxBundle& operator=(const LxBundle&) = delete;

    // The colour asset of that name (case-sensitive); none when the bundle has no such asset.
    std::optional<QColor> colorNamed(const QString& name) const;
    // Adds the asset, or replaces the one of that name.
    void setColor(const QString& name, const QColor& color);
    void removeColor(const QString& name);

    // The image "<name>" or "<name>.png" in the image folder; a null image when neither can be
    // read.
    QImage image(const QString& name) const;

private:
    const QString imageFolder_;
    mutable std::mutex mutex_;
    std::map<QString, QColor> colors_;
};

namespace lx::internal {

inline const LxBundle& bundleOrMain(const LxBundle* bundle) {
    return bundle != nullptr ? *bundle : LxBundle::main();
}

}  // namespace lx::internal
