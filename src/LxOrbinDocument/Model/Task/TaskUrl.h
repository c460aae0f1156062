#pragma once

#include <optional>
#include <string>

// A link attached to a task: URL text that is never empty, and a title that is absent rather
// than empty. Every value passes through `make`, which keeps both rules. A value.
//
// The URL text is kept as given: neither trimmed nor checked. Two values are equal when their
// titles (both absent, or canonically equivalent texts) and their URL texts are equal.
//
// Example:
//   const auto link = TaskUrl::make("Plan", "https://example.org/plan");
//   const std::string shown = link ? link->visualString() : "";   // "Plan"
class TaskUrl {
public:
    // None when `url` is absent or empty; an empty title gives no title (a blank one stays).
    static std::optional<TaskUrl> make(std::optional<std::string> title = std::nullopt,
                                       std::optional<std::string> url = std::nullopt);

    const std::optional<std::string>& title() const { return title_; }
    const std::string& url() const { return url_; }

    // The same URL text with a new title (an empty or absent one gives no title).
    TaskUrl titleChanged(std::optional<std::string> to = std::nullopt) const;
    // The current title with a new URL text; none when it is empty.
    std::optional<TaskUrl> urlChanged(std::string to) const;

    // The title when there is one, else the URL text.
    const std::string& visualString() const { return title_ ? *title_ : url_; }

    bool operator==(const TaskUrl& other) const;

private:
    TaskUrl(std::optional<std::string> title, std::string url)
        : title_(std::move(title)), url_(std::move(url)) {}

    std::optional<std::string> title_;
    std::string url_;
};
