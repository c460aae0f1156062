#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "support/ScopedEnvironment.h"

namespace httplib {
class Server;
}

// A real HTTP server on 127.0.0.1 for one test: started on a port the system picks, serving
// canned answers, recording every request it gets, stopped when it goes out of scope.
//
// Any path without a route of its own answers 404. The proxy variables of the environment are
// cleared while a server lives, so that the client under test talks to it directly.
//
// Example:
//   LocalHttpServer server;
//   server.route("/items", {.status = 200, .body = "[1,2]"});
//   fetch(server.url("/items"));
//   EXPECT_EQ(server.requests().at(0).method, "GET");
class LocalHttpServer {
public:
    using Headers = std::vector<std::pair<std::string, std::string>>;

    struct Route {
        int status = 200;
        Headers headers{};
        std::string body{};
        // How long the server waits before it answers; cut short when the server stops.
        std::chrono::milliseconds delay{0};
    };

    struct ReceivedRequest {
        std::string method;
        std::string path;
        // Lines of one field in the order received; different fields sorted by name.
        Headers headers;
        std::string body;

        // Every value sent under `field` (any case), in order.
        std::vector<std::string> values(std::string_view field) const;
    };

    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // Answers requests of any method for `path` (without query) with `route`, from now on.
    void route(const std::string& path, Route route);

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by `pathAndQuery`.
    std::string url(std::string_view pathAndQuery) const;

    std::vector<ReceivedRequest> requests() const;

    // A URL on 127.0.0.1 where nobody listens: connecting there is refused at once.
    static std::string refusedUrl();

private:
    struct State;

    std::shared_ptr<State> state_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    ScopedEnvironment environment_;
};
