#include "network/UrlPublishers.h"

#include <chrono>
#include <utility>

#include "network/LxHttpClient.h"
#include "platform/http/HttpSession.h"
#include "platform/reactive/Future.h"

namespace lx {

namespace {

using platform::reactive::AnyCancellable;
using platform::reactive::Completion;
using platform::reactive::Subscriber;

platform::reactive::Future<platform::Url, LxHttpClient::HttpError> download(
    const platform::Url& url, const platform::Url& destination) {
    using Promise = platform::reactive::Future<platform::Url, LxHttpClient::HttpError>::Promise;
    return platform::reactive::Future<platform::Url, LxHttpClient::HttpError>(
        [&url, &destination](const Promise& promise) {
            LxHttpClient::file(
                url, destination,
                [promise](platform::Result<platform::Url, LxHttpClient::HttpError> result) {
                    promise(std::move(result));
                });
        });
}

bool isSuccessStatus(const platform::http::Response& response) {
    return response.statusCode && *response.statusCode >= 200 && *response.statusCode < 300;
}

}  // namespace

platform::reactive::AnyPublisher<Bytes, RxUrlError> rxFetch(const platform::Url& url) {
    return platform::reactive::AnyPublisher<Bytes, RxUrlError>(
        [url](Subscriber<Bytes, RxUrlError> down) {
            platform::http::Request request{.url = url, .idleTimeout = std::chrono::seconds(60)};
            const auto task = platform::http::Session::shared().data(
                std::move(request), [down](platform::http::DataOutcome outcome) {
                    if (outcome.error) {
                        down.receiveCompletion(Completion<RxUrlError>::failure(
                            RxUrlError::apiError(outcome.error->localizedDescription())));
                    } else if (!isSuccessStatus(*outcome.response)) {
                        down.receiveCompletion(
                            Completion<RxUrlError>::failure(RxUrlError::unknown()));
                    } else {
                        down.receiveValue(*outcome.data);
                        down.receiveCompletion(Completion<RxUrlError>::finished());
                    }
                });
            return AnyCancellable([task] { task->cancel(); });
        });
}

platform::reactive::AnyPublisher<platform::Url, RxUrlError> rxDownload(
    const platform::Url& url, const platform::Url& destination) {
    return download(url, destination).mapError([](const LxHttpClient::HttpError& error) {
        return RxUrlError::apiError(error.localizedDescription());
    });
}

platform::reactive::AnyPublisher<std::optional<platform::Url>, platform::reactive::Never>
rxDownloadReplaceErrorToNilTo(const platform::Url& url, const platform::Url& destination) {
    return download(url, destination)
        .map([](const platform::Url& downloaded) { return std::optional(downloaded); })
        .replaceError(std::nullopt);
}

}  // namespace lx
