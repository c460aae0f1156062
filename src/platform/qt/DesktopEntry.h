#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include <QString>
#include <QStringList>

// Desktop entries: the files that describe installed applications on a freedesktop desktop.
namespace platform::qt {

// What starting an application needs of its desktop entry: the keys of its "[Desktop Entry]"
// group, with their escapes (\s \n \t \r \\) resolved. Localised keys are not read.
struct DesktopEntry {
    QString type;
    bool hidden = false;
    // The command line with its field codes ("orbin %U").
    std::optional<QString> exec;

    // Reads the entry in `file`; none when it cannot be read or has no "[Desktop Entry]" group.
    static std::optional<DesktopEntry> read(const std::filesystem::path& file);
    static std::optional<DesktopEntry> parse(std::string_view text);

    // An application that can be started: of type "Application", not hidden, with a command.
    bool isLaunchable() const;
};

// The program and its arguments that open `file` with the command line `exec`: the line is
// split at blanks outside double quotes (inside them a backslash escapes the next character);
// %f and %F become the file's path, %u and %U its file URL, %% a percent sign; the other field
// codes are dropped, an argument made of them alone with them. Without a file code the path is
// added as the last argument. Each substitution stays within its argument, whatever the path
// holds (blanks, quotes, "$(...)"). None when the line holds no program or an unclosed quote.
std::optional<QStringList> expandExec(const QString& exec, const std::filesystem::path& file);

}  // namespace platform::qt
