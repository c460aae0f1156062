#pragma once

#include <filesystem>
#include <optional>

#include <QList>
#include <QMimeData>
#include <QUrl>

// What the source list takes from a drop: the first dropped local file, when its extension is a
// project package's.

// Whether the lower-cased extension of `path` is "orb" or "orbx" ("a.ORBX" is; "a.orb.zip",
// "noext" and the hidden file ".orb" are not).
bool isSupportedProjectFile(const std::filesystem::path& path);

// The path of the first local-file URL of `urls`, whatever its kind; none without one.
std::optional<std::filesystem::path> firstDroppedFile(const QList<QUrl>& urls);

// The first local file of `urls` when it is a project package; none otherwise (the other files
// are never looked at).
std::optional<std::filesystem::path> droppedProjectFile(const QList<QUrl>& urls);

// Whether a drop of `data` is taken: only while the problems sheet is not shown, and only when
// it offers a local file.
bool acceptsDrop(const QMimeData& data, bool problemsShown);
