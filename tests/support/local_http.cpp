// One HTTP request over a plain socket to a server on 127.0.0.1.
#include "local_http.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <set>

namespace testsupport {
namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in loopback(uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

// Closes the socket whatever way the request ends.
struct Socket {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ~Socket() {
        if (fd >= 0) close(fd);
    }
};

int remainingMs(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool sendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

// Reads until the server closes; false when the deadline passes first.
bool readAll(int fd, Clock::time_point deadline, std::string& bytes) {
    char buffer[8192];
    for (;;) {
        pollfd ready{fd, POLLIN, 0};
        int polled = poll(&ready, 1, remainingMs(deadline));
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) return false;
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        bytes.append(buffer, static_cast<size_t>(n));
    }
}

HttpAnswer parseAnswer(const std::string& bytes) {
    HttpAnswer answer;
    const size_t headersEnd = bytes.find("\r\n\r\n");
    const size_t space = bytes.find(' ');
    if (bytes.rfind("HTTP/", 0) != 0 || headersEnd == std::string::npos || space > headersEnd) {
        answer.error = "not an HTTP answer: " + bytes.substr(0, 200);
        return answer;
    }
    answer.status = std::atoi(bytes.c_str() + space + 1);
    answer.body = bytes.substr(headersEnd + 4);
    return answer;
}

}  // namespace

HttpAnswer localHttp(HttpMethod method, uint16_t port, const std::string& target,
                     const std::string& headerName, const std::string& headerValue, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    HttpAnswer failed;
    Socket s;
    sockaddr_in address = loopback(port);
    if (s.fd < 0 || connect(s.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        failed.error = std::string("cannot connect: ") + std::strerror(errno);
        return failed;
    }
    const std::string request = std::string(method == HttpMethod::Get ? "GET " : "POST ") + target +
                                " HTTP/1.0\r\nHost: 127.0.0.1\r\n" + headerName + ": " +
                                headerValue + "\r\nContent-Length: 0\r\n\r\n";
    std::string bytes;
    if (!sendAll(s.fd, request) || !readAll(s.fd, deadline, bytes)) {
        failed.error = "no whole answer within " + std::to_string(timeoutMs) + " ms";
        return failed;
    }
    return parseAnswer(bytes);
}

uint16_t freeLocalPort() {
    // The kernel may offer a port again once its socket is closed; a fixture that asks for
    // several before any server listens must get different ones.
    static std::set<uint16_t> given;
    for (int attempt = 0; attempt < 100; ++attempt) {
        Socket s;
        sockaddr_in address = loopback(0);
        socklen_t length = sizeof address;
        if (s.fd < 0 || bind(s.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            getsockname(s.fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return 0;
        }
        if (given.insert(ntohs(address.sin_port)).second) return ntohs(address.sin_port);
    }
    return 0;
}

}  // namespace testsupport
