// vpcd's socket protocol over plain POSIX sockets.
#include "vpcd/vpcd_link.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace sim {
namespace {

constexpr int kPollMs = 100;

}  // namespace

VpcdLink::~VpcdLink() {
    close();
}

void VpcdLink::close() {
    if (socket >= 0) ::close(socket);
    socket = -1;
}

LinkResult VpcdLink::connect(uint16_t port, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    while (!stop) {
        socket = ::socket(AF_INET, SOCK_STREAM, 0);
        if (socket < 0) {
            lastError = std::strerror(errno);
            return LinkResult::Failed;
        }
        if (::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            int one = 1;
            setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            return LinkResult::Ok;
        }
        lastError = std::strerror(errno);
        close();
        if (std::chrono::steady_clock::now() >= deadline) return LinkResult::Failed;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
    return LinkResult::Stopped;
}

LinkResult VpcdLink::receive(std::vector<uint8_t>& message) {
    uint8_t prefix[2];
    LinkResult result = readExact(prefix, 2, true);
    if (result != LinkResult::Ok) return result;
    message.resize(static_cast<size_t>(prefix[0] << 8 | prefix[1]));
    if (message.empty()) return LinkResult::Ok;
    return readExact(message.data(), message.size(), false);
}

// The length and the payload go out in one write, so vpcd never sees half a message.
LinkResult VpcdLink::send(const std::vector<uint8_t>& message) {
    if (message.empty() || message.size() > 0xFFFF) return LinkResult::Failed;
    std::vector<uint8_t> frame{static_cast<uint8_t>(message.size() >> 8),
                               static_cast<uint8_t>(message.size() & 0xFF)};
    frame.insert(frame.end(), message.begin(), message.end());
    return writeExact(frame.data(), frame.size());
}

LinkResult VpcdLink::awaitFirstMessage(int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += kPollMs) {
        if (stop) return LinkResult::Stopped;
        pollfd waiting{socket, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, kPollMs);
        if (ready > 0) return LinkResult::Ok;
        if (ready < 0 && errno != EINTR) {
            lastError = std::strerror(errno);
            return LinkResult::Failed;
        }
    }
    lastError = "vpcd said nothing";
    return LinkResult::Failed;
}

// vpcd may send a length and its data in separate writes: read until all has come.
// A stop request is honoured only between messages, never in the middle of one.
LinkResult VpcdLink::readExact(uint8_t* data, size_t length, bool atMessageStart) {
    size_t done = 0;
    while (done < length) {
        if (stop && atMessageStart && done == 0) return LinkResult::Stopped;
        pollfd waiting{socket, POLLIN, 0};
        int ready = ::poll(&waiting, 1, kPollMs);
        if (ready < 0 && errno != EINTR) {
            lastError = std::strerror(errno);
            return LinkResult::Failed;
        }
        if (ready <= 0) continue;
        ssize_t got = ::recv(socket, data + done, length - done, 0);
        // vpcd writes a length and its data separately with Nagle on: acknowledge at once,
        // or its data waits for our delayed ACK (about 40 ms per message). Linux clears
        // the flag again after a while, so it is set after every read.
        int one = 1;
        setsockopt(socket, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
        if (got == 0) return atMessageStart && done == 0 ? LinkResult::Closed : LinkResult::Failed;
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            lastError = std::strerror(errno);
            return LinkResult::Failed;
        }
        done += static_cast<size_t>(got);
    }
    return LinkResult::Ok;
}

LinkResult VpcdLink::writeExact(const uint8_t* data, size_t length) {
    size_t done = 0;
    while (done < length) {
        ssize_t sent = ::send(socket, data + done, length - done, MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR) continue;
            lastError = std::strerror(errno);
            return LinkResult::Failed;
        }
        done += static_cast<size_t>(sent);
    }
    return LinkResult::Ok;
}

}  // namespace sim
