#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "LxLog/Log.h"
#include "platform/foundation/AnyError.h"
#include "platform/foundation/CallSite.h"
#include "platform/foundation/Error.h"

// Logging of failures, for every error value.
//
// `log` writes one error-level line: "<description>: <localized description>", or the localized
// description alone when `description` is absent or empty. The localized description goes
// through Log::escaped(), as it may carry a path or a document's text; `description` is the
// caller's own and escapes what it takes from outside itself. `logged` does the same from one
// fixed location whoever calls it, and gives the error back with its own type, so that a failure
// is logged and thrown in one expression and a typed `catch` still matches:
//
//   throw lx::logged(LxError::failure("Invalid JSON"), "Loading failed");
namespace lx {

template <class E>
concept ErrorValue = std::is_base_of_v<std::exception, std::remove_cvref_t<E>>;

namespace internal {
std::string errorLogMessage(std::optional<std::string_view> description,
                            std::string_view localizedDescription);
void writeLoggedLine(std::string_view message);
}  // namespace internal

template <ErrorValue E>
void log(const E& error, std::optional<std::string_view> description = std::nullopt,
         platform::CallSite site = {}) {
    Log::error(internal::errorLogMessage(description, platform::localizedDescription(error)), site);
}

void log(const platform::AnyError& error,
         std::optional<std::string_view> description = std::nullopt, platform::CallSite site = {});

template <ErrorValue E>
std::remove_cvref_t<E> logged(E&& error,
                              std::optional<std::string_view> description = std::nullopt) {
    internal::writeLoggedLine(
        internal::errorLogMessage(description, platform::localizedDescription(error)));
    return std::forward<E>(error);
}

platform::AnyError logged(platform::AnyError error,
                          std::optional<std::string_view> description = std::nullopt);

}  // namespace lx
