#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "platform/http/HttpSession.h"
#include "support/LocalHttpServer.h"

// Limits of the process's HTTP session for one test, so that a test can reach them with small
// bodies and short waits; the earlier limits are back when it goes.
//
// Example:
//   const ScopedSessionLimits limits(ScopedSessionLimits::small());
//   routePastSmallLimits(server);
class ScopedSessionLimits {
public:
    explicit ScopedSessionLimits(platform::http::Session::Limits limits)
        : saved_(platform::http::Session::shared().limits()) {
        platform::http::Session::shared().setLimits(limits);
    }
    ~ScopedSessionLimits() { platform::http::Session::shared().setLimits(saved_); }
    ScopedSessionLimits(const ScopedSessionLimits&) = delete;
    ScopedSessionLimits& operator=(const ScopedSessionLimits&) = delete;

    // 1000 bytes in memory; 300 ms for any transfer in all.
    static platform::http::Session::Limits small() {
        return {.maximumDataSize = 1000,
                .dataTimeLimit = std::chrono::milliseconds(300),
                .downloadTimeLimit = std::chrono::milliseconds(300)};
    }

private:
    platform::http::Session::Limits saved_;
};

// Answers past the small limits: "/large", a body of 1001 bytes, and "/trickle", a byte every
// 50 ms, which keeps the idle time-out at bay and takes two seconds in all.
inline void routePastSmallLimits(LocalHttpServer& server) {
    server.route("/large", {.body = std::string(1001, 'x')});
    server.route("/trickle", {.chunks = std::vector<std::string>(40, "x"),
                              .pause = std::chrono::milliseconds(50)});
}
