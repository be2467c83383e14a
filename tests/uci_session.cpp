#include "uci_session.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <unistd.h>

#include "frontend/uci.h"

namespace brevola::testing {

UciSession::UciSession() {
    int commands[2], replies[2];
    if (pipe(commands) != 0 || pipe(replies) != 0) std::abort();
    commandWrite_ = commands[1];
    replyRead_ = replies[0];
    std::FILE *in = fdopen(commands[0], "r");
    std::FILE *out = fdopen(replies[1], "w");
    if (!in || !out) std::abort();
    engine_ = std::thread([this, in, out] {
        status_ = runUci(in, out);
        std::fclose(in);
        std::fclose(out);
    });
}

UciSession::~UciSession() { finish(); }

void UciSession::send(const std::string &line) {
    if (commandWrite_ < 0) return;
    std::string text = line + "\n";
    const char *p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t n = write(commandWrite_, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

bool UciSession::readLine(std::chrono::steady_clock::time_point until) {
    for (;;) {
        std::string::size_type newline = pending_.find('\n');
        if (newline != std::string::npos) {
            lines_.push_back(pending_.substr(0, newline));
            pending_.erase(0, newline + 1);
            return true;
        }
        if (replyRead_ < 0) return false;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd fd{replyRead_, POLLIN, 0};
        int ready = poll(&fd, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        char buffer[4096];
        ssize_t n = read(replyRead_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            close(replyRead_);
            replyRead_ = -1;
            return false;
        }
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

std::optional<std::string> UciSession::waitFor(const std::string &prefix,
                                               std::chrono::milliseconds timeout) {
    auto until = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        while (consumed_ < lines_.size()) {
            const std::string &line = lines_[consumed_++];
            if (line.compare(0, prefix.size(), prefix) == 0) return line;
        }
        if (!readLine(until)) return std::nullopt;
    }
}

std::vector<std::string> UciSession::linesStartingWith(const std::string &prefix) const {
    std::vector<std::string> found;
    for (const std::string &line : lines_)
        if (line.compare(0, prefix.size(), prefix) == 0) found.push_back(line);
    return found;
}

int UciSession::finish() {
    if (commandWrite_ >= 0) {
        close(commandWrite_);
        commandWrite_ = -1;
    }
    // Read while the engine ends, so that it never blocks on a full pipe.
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (readLine(until)) {
    }
    if (engine_.joinable()) engine_.join();
    if (replyRead_ >= 0) {
        close(replyRead_);
        replyRead_ = -1;
    }
    return status_;
}

} // namespace brevola::testing
