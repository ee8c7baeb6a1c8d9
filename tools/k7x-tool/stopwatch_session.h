// One connection to a stopwatch through RDCOM32: initialise, find the reader, connect and
// poll; close and shut the library down again on destruction.
#pragma once

#include <string>

namespace k7x {

enum class SessionError {
    None,
    LibraryInit,     // RDCAA_InitDll failed
    NoService,       // no PC/SC service
    NoReader,        // the service lists no reader
    NoServedReader,  // readers, but none the library serves
    NoStopwatch,     // the reader refused the connection or no card answered the polling
    ForeignCard,     // a FeliCa card that is not the stopwatch
};

class StopwatchSession {
  public:
    // logDirectory empty: no debug log. A missing trailing separator is added.
    explicit StopwatchSession(const std::string& logDirectory);
    ~StopwatchSession();
    StopwatchSession(const StopwatchSession&) = delete;
    StopwatchSession& operator=(const StopwatchSession&) = delete;

    [[nodiscard]] SessionError open();
    // The reader the library chose (known once open() got past the listing).
    [[nodiscard]] const std::string& readerName() const { return reader; }
    // False when the debug log was asked for but could not be opened; logError() says why.
    [[nodiscard]] bool logReady() const { return logProblem.empty(); }
    [[nodiscard]] const std::string& logError() const { return logProblem; }

  private:
    std::string reader;
    bool initialised = false;
    std::string logProblem;
};

// A message for the user that says what is missing.
[[nodiscard]] std::string describe(SessionError error, const std::string& readerName);

}  // namespace k7x
