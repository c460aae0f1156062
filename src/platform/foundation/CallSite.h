#pragma once

#include <string_view>
#if __has_include(<source_location>)
#include <source_location>
#endif

namespace platform {

// Where a call came from: the calling function, its source file and line.
//
// Declare a parameter `platform::CallSite site = {}` and every caller that leaves it out passes
// its own location. Callers that need a fixed name pass one; the texts must outlive the call
// (string literals do).
class CallSite {
public:
#if defined(__cpp_lib_source_location)
    CallSite(std::source_location location = std::source_location::current()) noexcept
        : function_(location.function_name()),
          file_(location.file_name()),
          line_(static_cast<int>(location.line())) {}
#else
    // clang 14 over libstdc++ 12 (the fuzzing build) has no std::source_location; the builtins
    // it stands on give the same three facts.
    constexpr CallSite(const char* function = __builtin_FUNCTION(),
                       const char* file = __builtin_FILE(), int line = __builtin_LINE()) noexcept
        : function_(function), file_(file), line_(line) {}
#endif

    constexpr CallSite(std::string_view function, std::string_view file, int line) noexcept
        : function_(function), file_(file), line_(line) {}

    // The same site under another function name.
    constexpr CallSite withFunction(std::string_view function) const noexcept {
        return CallSite(function, file_, line_);
    }

    constexpr std::string_view function() const noexcept {
        return function_;
    }
    constexpr std::string_view file() const noexcept {
        return file_;
    }
    constexpr int line() const noexcept {
        return line_;
    }

private:
    std::string_view function_;
    std::string_view file_;
    int line_;
};

}  // namespace platform
