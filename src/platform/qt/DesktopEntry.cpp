#include "platform/qt/DesktopEntry.h"

#include <QFile>
#include <QUrl>

#include "platform/foundation/FileManager.h"
#include "platform/foundation/FileSystemError.h"

namespace platform::qt {

namespace {

constexpr std::string_view kGroup = "[Desktop Entry]";
// Entries are a few kilobytes; anything far bigger is not one.
constexpr std::size_t kLargestEntry = 1 << 20;

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The escapes of a string value; any other backslash stays for the command line's own quoting.
QString unescaped(std::string_view value) {
    const QString text = QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
    QString result;
    for (qsizetype index = 0; index < text.size(); ++index) {
        if (text[index] != '\\' || index + 1 == text.size()) {
            result += text[index];
            continue;
        }
        const QChar next = text[index + 1];
        if (next == 's') {
            result += ' ';
        } else if (next == 'n') {
            result += '\n';
        } else if (next == 't') {
            result += '\t';
        } else if (next == 'r') {
            result += '\r';
        } else if (next == '\\') {
            result += '\\';
        } else {
            result += '\\';
            result += next;
        }
        ++index;
    }
    return result;
}

std::optional<QStringList> splitCommandLine(const QString& line) {
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool inQuotes = false;
    for (qsizetype index = 0; index < line.size(); ++index) {
        const QChar c = line[index];
        if (inQuotes) {
            if (c == '\\' && index + 1 < line.size()) {
                current += line[++index];
            } else if (c == '"') {
                inQuotes = false;
            } else {
                current += c;
            }
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inArgument) {
                arguments << current;
                current.clear();
                inArgument = false;
            }
        } else if (c == '"') {
            inQuotes = true;
            inArgument = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inQuotes) {
        return std::nullopt;
    }
    if (inArgument) {
        arguments << current;
    }
    return arguments;
}

}  // namespace

std::optional<DesktopEntry> DesktopEntry::read(const std::filesystem::path& file) {
    try {
        const std::vector<std::uint8_t> bytes = platform::readFileContents(file);
        if (bytes.size() > kLargestEntry) {
            return std::nullopt;
        }
        return parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    } catch (const platform::FileSystemError&) {
        return std::nullopt;
    }
}

// Keys before the group, and every group after it, belong to something else; the first of a
// repeated key counts.
std::optional<DesktopEntry> DesktopEntry::parse(std::string_view text) {
    std::optional<DesktopEntry> entry;
    bool typeSeen = false;
    bool hiddenSeen = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            if (entry) {
                break;
            }
            if (line == kGroup) {
                entry.emplace();
            }
            continue;
        }
        const auto equals = line.find('=');
        if (!entry || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = trimmed(line.substr(0, equals));
        const QString value = unescaped(trimmed(line.substr(equals + 1)));
        if (key == "Type" && !typeSeen) {
            entry->type = value;
            typeSeen = true;
        } else if (key == "Hidden" && !hiddenSeen) {
            entry->hidden = value == "true";
            hiddenSeen = true;
        } else if (key == "Exec" && !entry->exec) {
            entry->exec = value;
        }
    }
    return entry;
}

bool DesktopEntry::isLaunchable() const {
    return type == "Application" && !hidden && exec && !exec->trimmed().isEmpty();
}

std::optional<QStringList> expandExec(const QString& exec, const std::filesystem::path& file) {
    const std::optional<QStringList> arguments = splitCommandLine(exec);
    if (!arguments) {
        return std::nullopt;
    }
    const QString path = QFile::decodeName(QByteArray::fromStdString(file.string()));
    const QString url = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    QStringList expanded;
    bool fileGiven = false;
    for (const QString& argument : *arguments) {
        QString result;
        bool droppedCode = false;
        bool keptSomething = false;
        for (qsizetype index = 0; index < argument.size(); ++index) {
            if (argument[index] != '%' || index + 1 == argument.size()) {
                result += argument[index];
                keptSomething = true;
                continue;
            }
            const QChar code = argument[++index];
            if (code == '%') {
                result += '%';
                keptSomething = true;
            } else if (code == 'f' || code == 'F' || code == 'u' || code == 'U') {
                result += code.toLower() == 'f' ? path : url;
                fileGiven = true;
                keptSomething = true;
            } else {
                droppedCode = true;
            }
        }
        if (droppedCode && !keptSomething) {
            continue;
        }
        expanded << result;
    }
    if (expanded.isEmpty()) {
        return std::nullopt;
    }
    if (!fileGiven) {
        expanded << path;
    }
    return expanded;
}

}  // namespace platform::qt
