#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "network/RxUrlError.h"
#include "platform/http/Url.h"
#include "platform/json/Value.h"
#include "platform/reactive/AnyPublisher.h"

// Publishers of what a URL holds, over the process's HTTP session.
namespace lx {

using Bytes = std::vector<std::uint8_t>;

// The bytes behind `url`, fetched with a GET (60 s without progress ends it): one value and a
// normal completion when the server answers with a status from 200 to 299, else `unknown` (the
// body is dropped); a transfer that fails is `apiError` with its description, also one whose body
// is larger or that lasts longer than the session allows (platform::http::Session::Limits). A
// URL that is not http or https is `unknown` and is not read. Nothing is sent until a subscriber
// comes; each subscriber makes its own request, and cancelling its subscription aborts the
// transfer and delivers nothing more. Values arrive on the session's queue, never on the main
// thread.
//
// Example:
//   cancellable_ = lx::ignoreError(lx::rxFetch(url))
//                      .receiveOn(platform::dispatch::mainQueue())
//                      .sink([weak](const lx::Bytes& bytes) { ... });
platform::reactive::AnyPublisher<Bytes, RxUrlError> rxFetch(const platform::Url& url);

// The same bytes decoded as JSON into T by `jsonDecoder` (a decoder with default settings when
// none is given). Every failure goes through `decodingErrorReason`: a decoding error is
// `parserError`, anything else (a failed fetch too) `apiError` with its description.
template <platform::json::DecodableFromText T>
platform::reactive::AnyPublisher<T, RxUrlError> rxFetch(
    const platform::Url& url, std::optional<platform::json::Decoder> jsonDecoder = std::nullopt) {
    return rxFetch(url)
        .tryMap([decoder = jsonDecoder.value_or(platform::json::Decoder())](const Bytes& data) {
            return decoder.decode<T>(data);
        })
        .mapError([](const platform::AnyError& error) { return decodingErrorReason(error); });
}

// Downloads `url` into the file `destination` through LxHttpClient::file and publishes
// `destination`; a failure is `apiError` with the client's error description. The download
// starts at this call, subscribed or not, and its one result goes to every subscriber.
platform::reactive::AnyPublisher<platform::Url, RxUrlError> rxDownload(
    const platform::Url& url, const platform::Url& destination);

// The same download publishing `destination`, or none followed by a normal completion when
// it fails.
platform::reactive::AnyPublisher<std::optional<platform::Url>, platform::reactive::Never>
rxDownloadReplaceErrorToNilTo(const platform::Url& url, const platform::Url& destination);

}  // namespace lx
