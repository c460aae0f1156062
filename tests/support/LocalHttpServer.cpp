#include "support/LocalHttpServer.h"

#include <arpa/inet.h>
#include <condition_variable>
#include <httplib.h>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <stdexcept>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

struct LocalHttpServer::State {
    std::mutex mutex;
    // Cuts delays short when the server stops, so that no test waits one out.
    std::condition_variable stopping;
    bool stopped = false;
    std::map<std::string, Route> routes;
    std::vector<ReceivedRequest> requests;

    void answer(const httplib::Request& request, httplib::Response& response) {
        Route route{.status = 404};
        {
            const std::lock_guard lock(mutex);
            ReceivedRequest received{request.method, request.path, {}, request.body};
            for (const auto& [field, value] : request.headers) {
                received.headers.emplace_back(field, value);
            }
            requests.push_back(std::move(received));
            if (const auto found = routes.find(request.path); found != routes.end()) {
                route = found->second;
            }
        }
        if (route.delay.count() > 0) {
            std::unique_lock lock(mutex);
            stopping.wait_for(lock, route.delay, [this] { return stopped; });
        }
        response.status = route.status;
        std::string contentType = "application/octet-stream";
        for (const auto& [field, value] : route.headers) {
            if (strcasecmp(field.c_str(), "Content-Type") == 0) {
                contentType = value;
            } else {
                response.headers.emplace(field, value);
            }
        }
        response.set_content(route.body, contentType.c_str());
    }
};

std::vector<std::string> LocalHttpServer::ReceivedRequest::values(std::string_view field) const {
    std::vector<std::string> found;
    for (const auto& [name, value] : headers) {
        if (name.size() == field.size() &&
            strncasecmp(name.data(), field.data(), field.size()) == 0) {
            found.push_back(value);
        }
    }
    return found;
}

LocalHttpServer::LocalHttpServer()
    : state_(std::make_shared<State>()), server_(std::make_unique<httplib::Server>()) {
    for (const char* variable :
         {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"}) {
        environment_.unset(variable);
    }
    const auto handler = [state = state_](const httplib::Request& request,
                                          httplib::Response& response) {
        state->answer(request, response);
    };
    server_->Get(".*", handler);
    server_->Post(".*", handler);
    server_->Put(".*", handler);
    server_->Delete(".*", handler);
    server_->Options(".*", handler);
    server_->Patch(".*", handler);
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
        throw std::runtime_error("The local HTTP server could not bind to 127.0.0.1");
    }
    // The socket listens from here on; requests wait in its backlog until the loop accepts.
    thread_ = std::thread([server = server_.get()] { server->listen_after_bind(); });
}

LocalHttpServer::~LocalHttpServer() {
    {
        const std::lock_guard lock(state_->mutex);
        state_->stopped = true;
    }
    state_->stopping.notify_all();
    // stop() only ends a loop that has started; the loop starts at once, so this wait is short.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!server_->is_running() && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::yield();
    }
    server_->stop();
    thread_.join();
}

void LocalHttpServer::route(const std::string& path, Route route) {
    const std::lock_guard lock(state_->mutex);
    state_->routes[path] = std::move(route);
}

std::string LocalHttpServer::url(std::string_view pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(pathAndQuery);
}

std::vector<LocalHttpServer::ReceivedRequest> LocalHttpServer::requests() const {
    const std::lock_guard lock(state_->mutex);
    return state_->requests;
}

std::string LocalHttpServer::refusedUrl() {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof(address);
    const bool bound =
        socket >= 0 &&
        ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    if (socket >= 0) {
        ::close(socket);  // never listened on: the port refuses connections from now on
    }
    if (!bound) {
        throw std::runtime_error("No free port on 127.0.0.1");
    }
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";
}
