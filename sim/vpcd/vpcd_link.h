// The card side of vpcd's TCP protocol: every message in either direction is a 2-byte
// big-endian length followed by that many bytes.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

enum class LinkResult { Ok, Closed, Stopped, Failed };

class VpcdLink {
  public:
    // `stop` is polled while waiting, so a signal handler can end a blocking read.
    explicit VpcdLink(const std::atomic<bool>& stop) : stop(stop) {}
    ~VpcdLink();
    VpcdLink(const VpcdLink&) = delete;
    VpcdLink& operator=(const VpcdLink&) = delete;

    // Connects to 127.0.0.1:port, retrying until `timeoutMs` have passed (vpcd listens
    // only once pcscd has loaded the driver). Laying the card on the reader.
    LinkResult connect(uint16_t port, int timeoutMs);
    // Waits up to `timeoutMs` until vpcd sends something (or closes); Failed when it stays
    // silent, Stopped on a stop request. The message stays unread for receive().
    LinkResult awaitFirstMessage(int timeoutMs);
    // Reads one whole message; Closed when vpcd closed the connection between messages.
    LinkResult receive(std::vector<uint8_t>& message);
    // Sends one whole message; never call it with an empty payload (vpcd takes that as removal).
    LinkResult send(const std::vector<uint8_t>& message);
    // Closes the socket: the card leaves the reader.
    void close();

    std::string lastError;

  private:
    LinkResult readExact(uint8_t* data, size_t length, bool atMessageStart);
    LinkResult writeExact(const uint8_t* data, size_t length);

    const std::atomic<bool>& stop;
    int socket = -1;
};

}  // namespace sim
