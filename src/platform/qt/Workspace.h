#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QUrl>
#include <QVariantMap>

// The desktop's services for files and applications.
namespace platform::qt {

// Shows a file in the file manager, finds an installed application by its identifier and opens
// files with it. A seam: views take one, tests hand in their own. Main thread only.
//
// Example:
//   if (const auto application = workspace.urlForApplication("app.orbin.Orbin")) {
//       workspace.openURLs({QUrl::fromLocalFile(path)}, *application,
//                          Workspace::launchesAsynchronously, {});
//   }
class Workspace {
public:
    // The launch option asking that the caller not wait for the launched program.
    static constexpr std::uint32_t launchesAsynchronously = 0x10000;

    virtual ~Workspace() = default;

    // Runs on the main thread when a file could not be shown after all.
    using SelectFailure = std::function<void()>;

    // Shows the file at `path` selected in the file manager, in a view rooted at `rootPath`
    // ("" for the file manager's choice). Answers whether the request could be made. When it
    // could, but the file turns out not to be shown in any way, `failed` runs later.
    virtual bool selectFile(const std::string& path, const std::string& rootPath,
                            SelectFailure failed = {}) = 0;

    // Where the installed application with `identifier` is described, or none when no such
    // application is installed.
    virtual std::optional<std::filesystem::path> urlForApplication(
        const std::string& identifier) = 0;

    // Starts the application described at `application` with `urls` to open, as `options` and
    // `configuration` ask. Answers whether it was started.
    virtual bool openURLs(const std::vector<QUrl>& urls, const std::filesystem::path& application,
                          std::uint32_t options, const QVariantMap& configuration) = 0;
};

}  // namespace platform::qt
