#pragma once

#include <filesystem>

// The user's standard folders, found the way the freedesktop.org (XDG) conventions say, and the
// process's private temporary folder. Every call reads the environment afresh; only the
// temporary folder is made on disk. All of them may be called from any thread.
//
// An XDG variable that is unset, empty or not an absolute path counts as unset.
//
// Example:
//   platform::configHome() / "orbin-combine" / "defaults.json"
//   platform::userFolder(platform::UserFolder::documents)        // "/home/anna/Dokumente"
namespace platform {

// $HOME when it is an absolute path, else the account's home folder from the user database,
// else the system temporary folder.
std::filesystem::path homeFolder();

// $XDG_CONFIG_HOME, else ~/.config.
std::filesystem::path configHome();

// $XDG_DATA_HOME, else ~/.local/share.
std::filesystem::path dataHome();

// $XDG_CACHE_HOME, else ~/.cache.
std::filesystem::path cacheHome();

enum class UserFolder { documents, downloads };

// The folder named in configHome()/user-dirs.dirs (XDG_DOCUMENTS_DIR, XDG_DOWNLOAD_DIR), with
// "$HOME" expanded; else ~/Documents or ~/Downloads. The folder need not exist.
std::filesystem::path userFolder(UserFolder folder);

// The folder for temporary items: $TMPDIR when it is an absolute path, else /tmp. Nothing is
// checked or made: a $TMPDIR that names a missing folder stays the answer, so that what needs a
// temporary fails rather than putting it somewhere the user did not choose.
std::filesystem::path temporaryFolder();

// A folder only this user may enter (mode 0700) that holds this process's temporary items, made
// inside $TMPDIR (else /tmp) on first use.
//
// The same folder comes back while $TMPDIR stays the same and the folder is still ours; when
// $TMPDIR changes or the folder was removed or tampered with, a new one is made. Throws
// platform::FileSystemError when no folder can be made: the shared folder is never a substitute,
// since other users could read what is unpacked there.
//
// The folder is named "orbin-combine-<process id>-XXXXXX" and stays locked while the process
// lives, so that removeAbandonedTemporaryFolders() in another process can tell it is in use.
std::filesystem::path privateTemporaryFolder();

// Removes every folder privateTemporaryFolder() made in this process, with everything in it;
// the next call of privateTemporaryFolder() makes a new one. For the end of the process.
void removePrivateTemporaryFolders() noexcept;

// Removes the private temporary folders in $TMPDIR (else /tmp) that processes of this user left
// behind when they ended without removing them (a crash, a kill): those whose process is gone
// and whose lock nobody holds. Folders of running processes and anything else stay.
void removeAbandonedTemporaryFolders() noexcept;

}  // namespace platform
