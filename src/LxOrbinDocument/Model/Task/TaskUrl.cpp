#include "LxOrbinDocument/Model/Task/TaskUrl.h"

#include "platform/foundation/UnicodeText.h"
#include "utility/StringExtensions.h"

std::optional<TaskUrl> TaskUrl::make(std::optional<std::string> title,
                                     std::optional<std::string> url) {
    if (!url || url->empty()) {
        return std::nullopt;
    }
    return TaskUrl(lx::nilIfEmpty(title), std::move(*url));
}

TaskUrl TaskUrl::titleChanged(std::optional<std::string> to) const {
    return TaskUrl(lx::nilIfEmpty(to), url_);
}

std::optional<TaskUrl> TaskUrl::urlChanged(std::string to) const {
    return make(title_, std::move(to));
}

bool TaskUrl::operator==(const TaskUrl& other) const {
    if (title_.has_value() != other.title_.has_value()) {
        return false;
    }
    return (!title_ || platform::isCanonicallyEquivalent(*title_, *other.title_)) &&
           platform::isCanonicallyEquivalent(url_, other.url_);
}
