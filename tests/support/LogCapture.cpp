#include "support/LogCapture.h"

#include <algorithm>

#include "LxLog/Log.h"

LogCapture::LogCapture() {
    Log::setSinkForTesting([this](std::string_view line) {
        std::lock_guard lock(mutex_);
        lines_.emplace_back(line);
    });
}

LogCapture::~LogCapture() {
    Log::setSinkForTesting({});
}

std::vector<std::string> LogCapture::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

bool LogCapture::contains(const std::string& text) const {
    std::lock_guard lock(mutex_);
    return std::ranges::any_of(
        lines_, [&text](const std::string& line) { return line.find(text) != std::string::npos; });
}
