// Runs a UCI session in-process: runUci on its own thread, reading commands
// from a pipe the test writes to and answering on a pipe the test reads, so a
// test can send a command, wait for a reply and send the next while the
// engine searches.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace brevola::testing {

class UciSession {
  public:
    UciSession();
    // Ends the session as finish() does, if the test has not.
    ~UciSession();
    UciSession(const UciSession &) = delete;
    UciSession &operator=(const UciSession &) = delete;

    // Writes one command line (a newline is added).
    void send(const std::string &line);

    // Reads reply lines until one starts with `prefix` and returns it; nothing
    // when `timeout` passes first or the engine's output ends.
    std::optional<std::string> waitFor(const std::string &prefix,
                                       std::chrono::milliseconds timeout = std::chrono::seconds(60));

    // Every reply line read so far, in order.
    const std::vector<std::string> &lines() const { return lines_; }

    // Reply lines read so far that start with `prefix`.
    std::vector<std::string> linesStartingWith(const std::string &prefix) const;

    // Closes the command pipe (the end of input, as "quit" does), waits for
    // runUci to return, reads what is left and returns runUci's result.
    int finish();

  private:
    // Reads what the engine wrote until a whole line is there or the time
    // is up; false when nothing more will come.
    bool readLine(std::chrono::steady_clock::time_point until);

    int commandWrite_ = -1;
    int replyRead_ = -1;
    std::thread engine_;
    int status_ = -1;
    std::string pending_;
    std::vector<std::string> lines_;
    std::size_t consumed_ = 0; // lines already examined by waitFor
};

} // namespace brevola::testing
