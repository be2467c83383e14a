#include "frontend/console.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <termios.h>
#include <unistd.h>

#include "diag/board_display.h"
#include "diag/output.h"
#include "frontend/console_state.h"
#include "frontend/driver.h"
#include "frontend/move_entry.h"
#include "position/setup.h"
#include "search/ttable.h"

namespace brevola {
namespace {

constexpr const char *StartPositionFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

constexpr const char *HelpText =
    "\n ?: help\n S: Show chessboard\n T: Think\n P: Perfect level\n X: Exit\n F: set from "
    "FEN\n M: time in seconds/Move\n G: time in seconds/Game\n e2e4: move\n e1g1: castling\n "
    "e7e8Q: promotion\n";

// The buffers behind the front-end text globals; they live for the whole run.
char fenInputBuffer[FenBufferSize];
char fenOutputBuffer[FenBufferSize];
char promptLine[PromptLineSize];
char answerBuffer[FenBufferSize];

// Raw-mode key reading on a terminal; the saved settings are put back after
// the key and also when a signal ends the program meanwhile.
termios savedTerminal;
volatile std::sig_atomic_t terminalIsRaw = 0;

void restoreTerminal() {
    if (terminalIsRaw) {
        tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
        terminalIsRaw = 0;
    }
}

void restoreTerminalOnSignal(int sig) {
    restoreTerminal();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// One key without echo and without Enter; EOF at the end of input.
int readRawKey(int fd) {
    if (tcgetattr(fd, &savedTerminal) != 0) return EOF;
    termios raw = savedTerminal;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    auto oldInt = std::signal(SIGINT, restoreTerminalOnSignal);
    auto oldTerm = std::signal(SIGTERM, restoreTerminalOnSignal);
    auto oldHup = std::signal(SIGHUP, restoreTerminalOnSignal);
    terminalIsRaw = 1;
    tcsetattr(fd, TCSANOW, &raw);
    unsigned char key = 0;
    ssize_t got;
    do got = read(fd, &key, 1);
    while (got < 0 && errno == EINTR);
    restoreTerminal();
    std::signal(SIGINT, oldInt);
    std::signal(SIGTERM, oldTerm);
    std::signal(SIGHUP, oldHup);
    return got == 1 ? key : EOF;
}

// Reads one line of at most size - 1 characters; false at the end of input.
bool readLine(char *buffer, int size) {
    std::fflush(consoleOut);
    return std::fgets(buffer, size, consoleIn) != nullptr;
}

uint32_t secondsToMs(int32_t seconds) { return static_cast<uint32_t>(seconds) * 1000u; }

void startUp() {
    std::strcpy(fenInputBuffer, StartPositionFen);
    std::strcpy(fenOutputBuffer, fenInputBuffer);
}

// One command; false when the program is to end.
bool runCommand(char command) {
    switch (command) {
    case '?':
        outText(HelpText);
        return true;
    case 'S':
        showBoard();
        return true;
    case 'T':
        runThinkOrPerft(0);
        return true;
    case 'P': {
        outText(" Insert depth: ");
        if (!readLine(answerBuffer, AnswerReadSize)) return false;
        int32_t depth = parseNumber(answerBuffer, 4);
        if (depth > 63) {
            outText("\n> depth must be 1 to 63\n");
            return true;
        }
        if (depth < 0) depth = 1;
        runThinkOrPerft(depth);
        return true;
    }
    case 'F':
        outText("\nInsert FEN string: ");
        if (!readLine(fenInputText, AnswerReadSize)) return false;
        if (fenInputText[0] != '\n' && fenInputText[0] != '\r') {
            movesPlayed = 0;
            newGame();
            clearTranspositionTable();
        }
        fenInputText[0] = '\0';
        appendPositionLog();
        return true;
    case 'M':
        outText(" Insert seconds/move: ");
        if (!readLine(answerBuffer, AnswerReadSize)) return false;
        gameTimeMs = 0;
        moveTimeMs = secondsToMs(parseNumber(answerBuffer, 0));
        return true;
    case 'G':
        outText(" Insert seconds/game: ");
        if (!readLine(answerBuffer, AnswerReadSize)) return false;
        gameTimeMs = secondsToMs(parseNumber(answerBuffer, 0));
        moveTimeMs = 0;
        return true;
    case 'X':
        return !askYesNo("Do you want to exit?");
    default:
        return true;
    }
}

} // namespace

int32_t parseNumber(const char *text, int32_t fallback) {
    char *end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    if (end == text) return fallback;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

bool askYesNo(const char *question) {
    std::fprintf(consoleOut, "%s (Y/N)", question);
    std::fflush(consoleOut);
    int key;
    if (isatty(fileno(consoleIn))) {
        key = readRawKey(fileno(consoleIn));
    } else {
        key = std::fgets(answerBuffer, AnswerReadSize, consoleIn) ? answerBuffer[0] : EOF;
    }
    if (key == EOF) return true;
    return std::toupper(static_cast<unsigned char>(key)) == 'Y';
}

int runConsole() {
    outText("Brevola chess engine - type ? for help\n");
    startUp();
    if (!reserveTranspositionTable()) {
        std::fflush(consoleOut);
        std::fprintf(stderr, "brevola: cannot reserve the 512 MiB transposition table\n");
        return 1;
    }
    fenInputText = fenInputBuffer;
    fenOutputText = fenOutputBuffer;
    movesPlayed = 0;
    moveTimeMs = 0;
    gameTimeMs = 0;
    depthLimit = 0;
    fenLogCounter = 0;
    runningScore = 0;
    newGame();
    clearTranspositionTable();
    fenInputText[0] = '\0';

    for (;;) {
        outChar('>');
        if (!readLine(promptLine, PromptLineSize)) break;
        typedLine = promptLine;
        if (promptLine[1] != '\n') {
            enterTypedMove();
            appendPositionLog();
            continue;
        }
        char command = static_cast<char>(std::toupper(static_cast<unsigned char>(promptLine[0])));
        if (!runCommand(command)) break;
    }
    outText("\n\n");
    std::fflush(consoleOut);
    return 0;
}

} // namespace brevola
