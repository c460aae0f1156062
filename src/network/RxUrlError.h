#pragma once

#include <string>

#include "platform/foundation/AnyError.h"
#include "platform/foundation/Error.h"

namespace lx {

// How fetching or downloading a URL failed; see UrlPublishers.h.
//
// `errorDescription()` (also the localized description) is the reason of `apiError` and
// `parserError`, and "Unknown error" for `unknown`.
class RxUrlError : public platform::Error {
public:
    enum class Case {
        apiError,     // the request or the download failed
        parserError,  // the bytes do not decode
        unknown,      // not an HTTP response, or a status outside 200 to 299
    };

    static RxUrlError apiError(std::string reason) {
        return RxUrlError(Case::apiError, std::move(reason));
    }
    static RxUrlError parserError(std::string reason) {
        return RxUrlError(Case::parserError, std::move(reason));
    }
    static RxUrlError unknown() { return RxUrlError(Case::unknown, "Unknown error"); }

    Case kind() const { return case_; }
    const std::string& errorDescription() const { return localizedDescription(); }

private:
    RxUrlError(Case kind, std::string description)
        : platform::Error(std::move(description)), case_(kind) {}

    Case case_;
};

// A decoding error as `parserError` whose reason says what was wrong and where: the decoder's
// text, then " (type: <expected type>, <path>)" for a value of the wrong type or a missing value,
// " (key: <key>, <path>)" for a missing key, " - (<path>)" for bad data; the path is the keys
// joined by "." (empty at the top level), or, for text that is not JSON, the parser's report of
// what it found wrong (DecodingError::underlyingError()). Any other error becomes `apiError` with
// its localized description, an `RxUrlError` included.
RxUrlError decodingErrorReason(const platform::AnyError& error);

}  // namespace lx
