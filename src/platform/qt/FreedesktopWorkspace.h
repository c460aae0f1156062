#pragma once

#include <filesystem>
#include <functional>
#include <vector>

#include "platform/qt/Workspace.h"

namespace platform::qt {

// The workspace of a freedesktop (XDG) desktop.
//
// An application's identifier is its desktop-file id, and its location the path of its desktop
// entry "<id>.desktop" in the first applications folder that holds one; an entry that cannot
// start an application (DesktopEntry::isLaunchable) counts as not installed. Opening files runs
// the entry's command line with the files put in (expandExec) as a detached process, never
// through a shell. Showing a file asks the file manager over D-Bus (FileManager1.ShowItems) and,
// when none answers (no session bus, or no file manager on it), opens the file's folder with the
// desktop's default handler instead; when that fails too, the file was not shown.
//
// Example:
//   platform::qt::FreedesktopWorkspace workspace;   // the user's and the system's applications
//   workspace.selectFile("/home/anna/Combined.orb", "");
class FreedesktopWorkspace final : public Workspace {
public:
    // Opens a folder in the desktop's default way; answers whether that could be started.
    using FolderOpener = std::function<bool(const QUrl& folder)>;

    explicit FreedesktopWorkspace(
        std::vector<std::filesystem::path> applicationFolders = standardApplicationFolders(),
        FolderOpener openFolder = defaultFolderOpener());

    // $XDG_DATA_HOME/applications, then each of $XDG_DATA_DIRS with "applications" added.
    static std::vector<std::filesystem::path> standardApplicationFolders();
    // QDesktopServices::openUrl.
    static FolderOpener defaultFolderOpener();

    // Without a session bus the folder is opened at once, and false answers that it could not
    // be; with one, `failed` runs when neither the file manager nor the folder opener answers.
    bool selectFile(const std::string& path, const std::string& rootPath,
                    SelectFailure failed = {}) override;
    std::optional<std::filesystem::path> urlForApplication(const std::string& identifier) override;
    // One launch per URL, each a local file; false when any is not or fails to start. The
    // options and the configuration have no meaning here: the launch never waits.
    bool openURLs(const std::vector<QUrl>& urls, const std::filesystem::path& application,
                  std::uint32_t options, const QVariantMap& configuration) override;

private:
    std::vector<std::filesystem::path> applicationFolders_;
    FolderOpener openFolder_;
};

}  // namespace platform::qt
