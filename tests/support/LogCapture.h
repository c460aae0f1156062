#pragma once

#include <mutex>
#include <string>
#include <vector>

// Collects every log line written while it lives, instead of printing them.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // The lines so far, each with its line feed.
    std::vector<std::string> lines() const;

    // True when some line contains `text`.
    bool contains(const std::string& text) const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};
