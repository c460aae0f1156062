#include "LxLog/Log.h"

#include <cstdio>
#include <mutex>

#include "platform/foundation/UnicodeText.h"

namespace Log {
namespace {

std::string_view tagOf(Level level) {
    switch (level) {
        case Level::verbose:
            return "\xF0\x9F\xA5\x9A verbose";  // U+1F95A
        case Level::debug:
            return "\xF0\x9F\x8D\x9A debug";  // U+1F35A
        case Level::info:
            return "\xF0\x9F\x93\xA8 info";  // U+1F4E8
        case Level::warning:
            return "\xF0\x9F\x94\x94 warning";  // U+1F514
        case Level::error:
            return "\xF0\x9F\x94\xB4 error";  // U+1F534
        case Level::fatal:
            return "\xF0\x9F\x94\xA5 severe";  // U+1F525; the fatal level prints "severe"
    }
    return {};
}

bool carriesLocation(Level level) {
    return level == Level::warning || level == Level::error || level == Level::fatal;
}

// The sink is swapped by tests while other threads may be logging.
std::mutex sinkMutex;
std::function<void(std::string_view)> testSink;

void writeToStandardOutput(std::string_view line) {
    // One fwrite per line: glibc locks the stream per call, so lines from several threads
    // never interleave. Flushing keeps lines in order when stdout is a pipe.
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

std::string escaped(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    platform::appendWithoutControls(result, text, false);
    return result;
}

std::string formatLine(Level level, std::string_view message, const platform::CallSite& site) {
    std::string line;
    line.reserve(message.size() + 64 + (carriesLocation(level) ? site.file().size() : 0));
    line += '[';
    line += tagOf(level);
    line += "] ";
    // Line feed and tab are the message's own layout; the rest could rewrite the terminal.
    platform::appendWithoutControls(line, message, true);
    if (carriesLocation(level)) {
        line += " \t{ (";
        line += site.file();
        line += ").(";
        line += site.function();
        line += ").(#";
        line += std::to_string(site.line());
        line += ") }";
    }
    line += '\n';
    return line;
}

void write(Level level, std::string_view message, const platform::CallSite& site) {
    const std::string line = formatLine(level, message, site);
    std::lock_guard lock(sinkMutex);
    if (testSink) {
        testSink(line);
    } else {
        writeToStandardOutput(line);
    }
}

void setSinkForTesting(std::function<void(std::string_view line)> sink) {
    std::lock_guard lock(sinkMutex);
    testSink = std::move(sink);
}

}  // namespace Log
