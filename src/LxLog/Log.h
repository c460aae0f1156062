#pragma once

#include <concepts>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "platform/foundation/CallSite.h"

// The system's diagnostic output: one line on standard output per call.
//
// A line is "[" + tag + "] " + message; warning, error and fatal lines end with the caller's
// location " \t{ (" + file + ").(" + function + ").(#" + line + ") }". There is no level filter
// and `fatal` does not stop the program. Any thread may log; a line is written whole, with one
// write.
//
// The message is either a text or a callable returning one; a callable runs exactly once,
// inside the call. Control characters in a message other than line feed and tab, the C1 controls
// included (as escaped() writes them), are written as "\xNN", so no text can reach the terminal
// raw; text taken from a file goes through escaped() first, so it cannot start a line of its own
// either.
//
// Example:
//   Log::warning([&] { return "Member " + name + " not found"; });
namespace Log {

enum class Level { verbose, debug, info, warning, error, fatal };

template <class M>
concept MessageText = std::convertible_to<M, std::string_view>;

template <class M>
concept Message = MessageText<M> ||(std::invocable<M>&& MessageText<std::invoke_result_t<M>>);

// Writes one finished line at `level`. The level functions below are the usual entry.
void write(Level level, std::string_view message, const platform::CallSite& site);

template <Message M>
void log(Level level, M&& message, const platform::CallSite& site) {
    if constexpr (MessageText<M>) {
        write(level, std::string_view(message), site);
    } else {
        // Keep the callable's result alive while the line is built from it.
        const auto& text = std::invoke(std::forward<M>(message));
        write(level, std::string_view(text), site);
    }
}

template <Message M>
void verbose(M&& message, platform::CallSite site = {}) {
    log(Level::verbose, std::forward<M>(message), site);
}
template <Message M>
void debug(M&& message, platform::CallSite site = {}) {
    log(Level::debug, std::forward<M>(message), site);
}
template <Message M>
void info(M&& message, platform::CallSite site = {}) {
    log(Level::info, std::forward<M>(message), site);
}
template <Message M>
void warning(M&& message, platform::CallSite site = {}) {
    log(Level::warning, std::forward<M>(message), site);
}
template <Message M>
void error(M&& message, platform::CallSite site = {}) {
    log(Level::error, std::forward<M>(message), site);
}
template <Message M>
void fatal(M&& message, platform::CallSite site = {}) {
    log(Level::fatal, std::forward<M>(message), site);
}

// `text` with every control character (U+0000 to U+001F and U+007F, line feed and tab included)
// as "\xNN", for text taken from a file: escaped("a\0b") is "a\x00b". So are the C1 controls:
// a byte 0x80 to 0x9F that is not part of a well-formed UTF-8 character, and both bytes of
// U+0080 to U+009F ("\xC2\x9B" for U+009B). Other characters, "é" and "€" among them, and
// other bytes stay as they are.
std::string escaped(std::string_view text);

// The whole line as written, line feed included.
std::string formatLine(Level level, std::string_view message, const platform::CallSite& site);

// Sends every line to `sink` instead of standard output; an empty function restores standard
// output. For tests.
void setSinkForTesting(std::function<void(std::string_view line)> sink);

}  // namespace Log
