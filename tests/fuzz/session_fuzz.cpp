// libFuzzer target: arbitrary bytes typed into the console, from start-up to
// the end of input. Inputs that would think, or count the move tree deeper
// than two plies, are skipped so that every run stays short; everything else
// is fed as it is. A Think visits 1,048,576 nodes before its first clock
// check, which takes about 3 s in this instrumented build, so the FEN target
// runs a two-ply search on every position it loads instead.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "diag/output.h"
#include "frontend/console.h"
#include "frontend/console_state.h"
#include "frontend/driver.h"
#include "search/ttable.h"

using namespace brevola;

namespace {

constexpr int MaxThinks = 0;
constexpr uint32_t MaxThinkBudgetMs = 1000;
constexpr int32_t MaxPerftDepth = 2;
// The search never consults the table, so clearing only its first bytes at
// each start-up and F changes nothing but the time each input takes.
constexpr std::size_t FuzzTableBytes = 4096;

// The console's line reads over the input bytes: at most `limit` bytes, up to
// and including a newline; false at the end of the input.
class LineReader {
  public:
    LineReader(const uint8_t *data, std::size_t size) : p_(data), end_(data + size) {}
    bool next(std::size_t limit, std::string &line) {
        if (p_ == end_) return false;
        const uint8_t *start = p_;
        while (p_ < end_ && static_cast<std::size_t>(p_ - start) < limit)
            if (*p_++ == '\n') break;
        line.assign(start, p_);
        return true;
    }

  private:
    const uint8_t *p_;
    const uint8_t *end_;
};


// Follows the session the way the prompt loop will read it and tells whether
// it stays within the limits above. The game clock is followed as an upper
// bound: a run only takes time off it, and never leaves less than 1000 ms.
bool isCheapSession(const uint8_t *data, std::size_t size) {
    LineReader in(data, size);
    std::string line;
    int thinks = 0;
    uint32_t moveMs = 0, gameMs = 0;
    auto think = [&] {
        uint32_t budget = gameMs != 0 ? moveBudgetMs(0, gameMs) : moveMs;
        return ++thinks <= MaxThinks && budget <= MaxThinkBudgetMs;
    };
    auto charge = [&] {
        if (gameMs != 0 && gameMs < 1000) gameMs = 1000;
    };
    while (in.next(PromptLineSize - 1, line)) {
        if (line.size() != 2 || line[1] != '\n') continue; // a move line
        switch (line[0]) {
        case 'T':
        case 't':
            if (!think()) return false;
            charge();
            break;
        case 'P':
        case 'p': {
            if (!in.next(AnswerReadSize - 1, line)) return true;
            int32_t depth = parseNumber(line.c_str(), 4);
            if (depth > 63) break;
            if (depth == 0 ? !think() : depth > MaxPerftDepth) return false;
            charge();
            break;
        }
        case 'M':
        case 'm':
            if (!in.next(AnswerReadSize - 1, line)) return true;
            gameMs = 0;
            moveMs = static_cast<uint32_t>(parseNumber(line.c_str(), 0)) * 1000u;
            break;
        case 'G':
        case 'g':
            if (!in.next(AnswerReadSize - 1, line)) return true;
            gameMs = static_cast<uint32_t>(parseNumber(line.c_str(), 0)) * 1000u;
            moveMs = 0;
            break;
        case 'F':
        case 'f':
            if (!in.next(AnswerReadSize - 1, line)) return true;
            break;
        case 'X':
        case 'x':
            if (!in.next(AnswerReadSize - 1, line)) return true;
            if (line[0] == 'Y' || line[0] == 'y') return true; // the session ends here
            break;
        default:
            break;
        }
    }
    return true;
}

// The position log goes to the working directory, so the target works in a
// scratch directory of its own. libFuzzer resolves its paths against the
// working directory, so relative ones are made absolute first, and crash
// reports go to where the fuzzer was started unless a prefix is given.
std::string scratchDir;
std::vector<std::string> arguments;
std::vector<char *> argumentPointers;

std::string absolute(const std::string &path, const std::string &from) {
    return path.empty() || path[0] == '/' ? path : from + "/" + path;
}

void removeScratchDir() {
    unlink((scratchDir + "/" + PositionLogName).c_str());
    rmdir(scratchDir.c_str());
}

void moveToScratchDir(int *argc, char ***argv) {
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd)) std::abort();
    const std::string from = cwd;
    bool hasPrefix = false;
    for (int i = 0; i < *argc; ++i) {
        std::string arg = (*argv)[i];
        if (i > 0 && arg[0] != '-') {
            arg = absolute(arg, from);
        } else {
            for (const char *flag : {"-artifact_prefix=", "-exact_artifact_path=", "-dict="}) {
                std::size_t n = std::strlen(flag);
                if (arg.compare(0, n, flag) != 0) continue;
                arg = flag + absolute(arg.substr(n), from);
                if (flag[1] == 'a') hasPrefix = true;
            }
        }
        arguments.push_back(arg);
    }
    if (!hasPrefix) arguments.push_back("-artifact_prefix=" + from + "/");
    for (std::string &arg : arguments) argumentPointers.push_back(arg.data());
    argumentPointers.push_back(nullptr);
    *argc = static_cast<int>(arguments.size());
    *argv = argumentPointers.data();

    std::string pattern = "/tmp/brevola-session-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data()) || chdir(pattern.c_str()) != 0) std::abort();
    scratchDir = pattern;
    std::atexit(removeScratchDir);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    moveToScratchDir(argc, argv);
    // Reserve the table block now (clearing 128 MiB once), then shrink the
    // part every start-up clears.
    if (!reserveTranspositionTable()) std::abort();
    clearTranspositionTable();
    ttBytes = FuzzTableBytes;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    if (!isCheapSession(data, size)) return 0;
    static std::FILE *sink = std::fopen("/dev/null", "w");
    // A copy, because the stream wants a writable buffer even to read.
    std::vector<char> bytes(data, data + size);
    std::FILE *in = size ? fmemopen(bytes.data(), size, "r") : std::fopen("/dev/null", "r");
    if (!in || !sink) std::abort();
    consoleIn = in;
    consoleOut = sink;
    int status = runConsole();
    std::fclose(in);
    consoleIn = stdin;
    consoleOut = stdout;
    if (status != 0) {
        std::fprintf(stderr, "session_fuzz: the console ended with status %d\n", status);
        std::abort();
    }
    // Each session starts with no log, like a first run in a new directory.
    unlink(PositionLogName);
    return 0;
}
