#include "LxLog/ErrorLogging.h"

namespace lx {

namespace internal {

std::string errorLogMessage(std::optional<std::string_view> description,
                            std::string_view localizedDescription) {
    // A description often carries a path or a document's text (a file system failure, a value
    // that did not decode), and the same text is shown in dialogs as it is; only the line
    // written here takes its line feeds and tabs as "\xNN".
    if (!description || description->empty()) {
        return Log::escaped(localizedDescription);
    }
    std::string message(*description);
    message += ": ";
    message += Log::escaped(localizedDescription);
    return message;
}

void writeLoggedLine(std::string_view message) {
    // `logged` reports one fixed location, not its caller's: the established line format of
    // these lines, which log readers match on.
    static constexpr platform::CallSite kLoggedSite("logged(description:)", __FILE__, 81);
    Log::error(message, kLoggedSite);
}

}  // namespace internal

void log(const platform::AnyError& error, std::optional<std::string_view> description,
         platform::CallSite site) {
    Log::error(internal::errorLogMessage(description, error.localizedDescription()), site);
}

platform::AnyError logged(platform::AnyError error, std::optional<std::string_view> description) {
    internal::writeLoggedLine(internal::errorLogMessage(description, error.localizedDescription()));
    return error;
}

}  // namespace lx
