#include "support/RawHttpServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

void readRequestHead(int socket) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        const ssize_t count = ::recv(socket, buffer, sizeof buffer, 0);
        if (count <= 0) {
            return;
        }
        head.append(buffer, static_cast<std::size_t>(count));
    }
}

}  // namespace

bool RawHttpServer::Connection::send(const std::string& bytes) const {
    for (std::size_t sent = 0; sent < bytes.size();) {
        // A peer that reads nothing for a second counts as gone.
        pollfd writable{socket_, POLLOUT, 0};
        if (::poll(&writable, 1, 1000) != 1 || (writable.revents & POLLOUT) == 0) {
            return false;
        }
        const ssize_t count =
            ::send(socket_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(count);
        sent_ += static_cast<std::uint64_t>(count);
    }
    return true;
}

RawHttpServer::RawHttpServer(std::function<void(const Connection&)> answer) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (listener_ < 0 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("The raw HTTP server could not listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this, answer = std::move(answer)] {
        while (!stopping_.load()) {
            pollfd incoming{listener_, POLLIN, 0};
            if (::poll(&incoming, 1, 100) != 1) {
                continue;
            }
            const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0) {
                continue;
            }
            readRequestHead(connection);
            answer(Connection(connection, bytesSent_));
            ::close(connection);
        }
    });
}

RawHttpServer::~RawHttpServer() {
    stopping_.store(true);
    thread_.join();
    ::close(listener_);
}

std::string RawHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}
