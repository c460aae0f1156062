#include "platform/qt/FreedesktopWorkspace.h"

#include <utility>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "platform/qt/DesktopEntry.h"

namespace platform::qt {

namespace {

std::filesystem::path localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QUrl folderOf(const QString& path) {
    return QUrl::fromLocalFile(QFileInfo(path).absolutePath());
}

}  // namespace

FreedesktopWorkspace::FreedesktopWorkspace(std::vector<std::filesystem::path> applicationFolders,
                                           FolderOpener openFolder)
    : applicationFolders_(std::move(applicationFolders)), openFolder_(std::move(openFolder)) {}

FreedesktopWorkspace::FolderOpener FreedesktopWorkspace::defaultFolderOpener() {
    return [](const QUrl& folder) { return QDesktopServices::openUrl(folder); };
}

std::vector<std::filesystem::path> FreedesktopWorkspace::standardApplicationFolders() {
    std::vector<std::filesystem::path> folders;
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        folders.push_back(localPath(folder));
    }
    return folders;
}

// The root folder has no counterpart in ShowItems. The call is not waited for: a file manager
// that is slow to start must not freeze the window.
bool FreedesktopWorkspace::selectFile(const std::string& path, const std::string& /*rootPath*/,
                                      SelectFailure failed) {
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return openFolder_(folderOf(file));
    }
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.FileManager1",
                                                       "/org/freedesktop/FileManager1",
                                                       "org.freedesktop.FileManager1", "ShowItems");
    call << QStringList{QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [file, openFolder = openFolder_,
                      failed = std::move(failed)](QDBusPendingCallWatcher* finished) {
                         if (finished->isError() && !openFolder(folderOf(file)) && failed) {
                             failed();
                         }
                         finished->deleteLater();
                     });
    return true;
}

// The first folder with an entry decides: a hidden entry of the user's masks the system's.
std::optional<std::filesystem::path> FreedesktopWorkspace::urlForApplication(
    const std::string& identifier) {
    for (const std::filesystem::path& folder : applicationFolders_) {
        const std::filesystem::path entryFile = folder / (identifier + ".desktop");
        if (const std::optional<DesktopEntry> entry = DesktopEntry::read(entryFile)) {
            return entry->isLaunchable() ? std::optional(entryFile) : std::nullopt;
        }
    }
    return std::nullopt;
}

bool FreedesktopWorkspace::openURLs(const std::vector<QUrl>& urls,
                                    const std::filesystem::path& application,
                                    std::uint32_t /*options*/,
                                    const QVariantMap& /*configuration*/) {
    const std::optional<DesktopEntry> entry = DesktopEntry::read(application);
    if (!entry || !entry->isLaunchable() || urls.empty()) {
        return false;
    }
    bool started = true;
    for (const QUrl& url : urls) {
        const std::optional<QStringList> command =
            url.isLocalFile() ? expandExec(*entry->exec, localPath(url.toLocalFile()))
                              : std::nullopt;
        started = command && QProcess::startDetached(command->front(), command->mid(1)) && started;
    }
    return started;
}

}  // namespace platform::qt
