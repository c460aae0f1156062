#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

// A server on 127.0.0.1 that answers each connection with bytes of the test's own making, for
// answers no well-behaved server library sends (endless trailers, a broken framing).
//
// Each connection's request head is read and then handed, with the connection, to `answer`,
// which writes with `send` until it is done or the peer stops reading; the connection closes
// after it. One connection at a time. The server stops and joins when it goes out of scope.
//
// Example:
//   RawHttpServer server([](const RawHttpServer::Connection& peer) {
//       peer.send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhi");
//   });
class RawHttpServer {
public:
    class Connection {
    public:
        Connection(int socket, std::atomic<std::uint64_t>& sent) : socket_(socket), sent_(sent) {}
        // False once the peer has gone (or stopped reading for a second).
        bool send(const std::string& bytes) const;

    private:
        int socket_;
        std::atomic<std::uint64_t>& sent_;
    };

    explicit RawHttpServer(std::function<void(const Connection&)> answer);
    ~RawHttpServer();
    RawHttpServer(const RawHttpServer&) = delete;
    RawHttpServer& operator=(const RawHttpServer&) = delete;

    // "http://127.0.0.1:<port>" followed by `path`.
    std::string url(const std::string& path) const;

    // The bytes the answers have sent so far.
    std::uint64_t bytesSent() const { return bytesSent_.load(); }

private:
    int listener_ = -1;
    int port_ = 0;
    std::atomic<std::uint64_t> bytesSent_{0};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};
