// A minimal HTTP/1.0 client for REST APIs that test fixtures run on 127.0.0.1.
#pragma once

#include <cstdint>
#include <string>

namespace testsupport {

enum class HttpMethod { Get, Post };

struct [[nodiscard]] HttpAnswer {
    int status = 0;     // the HTTP status; 0 when no answer came (refused, timed out, cut short)
    std::string body;   // the bytes after the headers
    std::string error;  // why there is no answer, when status is 0
    bool ok() const { return status == 200; }
};

// Sends one request for `target` ("/rest/system/ping") to 127.0.0.1:`port` with the header
// "`headerName`: `headerValue`" and an empty body, and reads the answer until the server closes
// the connection. HTTP/1.0, so the body never comes chunked. Gives up after `timeoutMs` in all.
HttpAnswer localHttp(HttpMethod method, uint16_t port, const std::string& target,
                     const std::string& headerName, const std::string& headerValue, int timeoutMs);

// A TCP port on 127.0.0.1 that nothing listens on at this moment (the kernel's choice) and that
// this process was not given before, or 0. Not thread-safe.
uint16_t freeLocalPort();

}  // namespace testsupport
