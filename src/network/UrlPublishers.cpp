#include "network/UrlPublishers.h"

#include <chrono>
#include <utility>

#include "platform/http/HttpSession.h"

namespace lx {

namespace {

using platform::reactive::AnyCancellable;
using platform::reactive::Completion;
using platform::reactive::Subscriber;

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

}  // namespace lx
