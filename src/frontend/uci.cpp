#include "frontend/uci.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>

#include "diag/output.h"
#include "diag/print.h"
#include "frontend/console_state.h"
#include "frontend/driver.h"
#include "frontend/move_entry.h"
#include "movegen/attack.h"
#include "position/make_move.h"
#include "position/setup.h"
#include "search/perft.h"
#include "search/search.h"

namespace brevola {
namespace {

constexpr const char *StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr int32_t MaxSearchDepth = 30; // the console's depthLimit for a Think
constexpr int32_t MateThreshold = MateValue - 256 * ScoreUnit;

using Clock = std::chrono::steady_clock;

// ---- Output ---------------------------------------------------------------

// The UCI output: whole lines, flushed at once, from the input thread and the
// search thread alike.
std::FILE *uciOut = stdout;
std::mutex outputMutex;

void send(const std::string &line) {
    std::lock_guard<std::mutex> lock(outputMutex);
    std::fputs(line.c_str(), uciOut);
    std::fputc('\n', uciOut);
    std::fflush(uciOut);
}

// The engine's console trace goes to the sink, or to standard error after
// "debug on". Only switched while no search runs.
std::FILE *sink = nullptr;
bool debugOn = false;

void routeEngineOutput() { consoleOut = debugOn || !sink ? stderr : sink; }

// ---- Position -------------------------------------------------------------

char fenInputBuffer[FenBufferSize];
char fenOutputBuffer[FenBufferSize];

// The position as the last accepted "position" command left it: a (checked)
// FEN text and the moves played from it. Perft and a refused FEN go back to it.
std::string baseFen;
std::vector<std::string> playedMoves;

void setUpFen(const std::string &fen) {
    std::snprintf(fenInputBuffer, sizeof fenInputBuffer, "%s", fen.c_str());
    fenInputText = fenInputBuffer;
    iterationDepth = 2;
    setUpPosition();
    fenInputBuffer[0] = '\0';
}

bool isLegalAtRoot(Move *move) {
    runningScore = makeMove(move, rootPly, runningScore);
    bool illegal = isInCheck(rootPly);
    runningScore = unmakeMove(rootPly, move);
    return !illegal;
}

// Set-up and the root's list, as move entry does it: a one-ply perft.
void listRootMoves() {
    int32_t savedDepth = depthLimit;
    depthLimit = 1;
    perft();
    depthLimit = savedDepth;
}

// The legal move of the position on the board with this UCI text, or null.
// A four-character text that names a promotion means the queen.
Move *findLegalMove(const std::string &text) {
    listRootMoves();
    for (const std::string &wanted : {text, text.size() == 4 ? text + "q" : std::string()}) {
        if (wanted.empty()) continue;
        for (Move *m = rootPly->listStart; m < listEnd(rootPly); ++m)
            if (uciMoveText(rootPly, m) == wanted) return isLegalAtRoot(m) ? m : nullptr;
    }
    return nullptr;
}

std::string lowerCase(std::string text) {
    for (char &c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Plays moves[from...] on the position on the board up to the first that is
// not legal; appends the moves played to `played`.
void playMoves(const std::vector<std::string> &moves, std::size_t from,
               std::vector<std::string> &played) {
    for (std::size_t i = from; i < moves.size(); ++i) {
        std::string text = lowerCase(moves[i]);
        Move *move = findLegalMove(text);
        if (!move) {
            send("info string illegal move " + moves[i] + ", the rest of the line is ignored");
            return;
        }
        playMove(rootPly, move);
        played.push_back(text);
    }
}

// Sets up `fen` (already checked) and plays `moves` up to the first that is
// not legal; returns the moves played.
std::vector<std::string> playLine(const std::string &fen, const std::vector<std::string> &moves) {
    setUpFen(fen);
    std::vector<std::string> played;
    playMoves(moves, 0, played);
    return played;
}

// Makes `fen` and `moves` the current position. A command that repeats the
// current position's FEN and moves and adds some (as GUIs send them during a
// game) only plays the new moves. False, with the position unchanged, when in
// `fen` the side that is not to move stands in check (its king could be
// taken).
bool setPosition(const std::string &fen, const std::vector<std::string> &moves) {
    if (fen == baseFen && moves.size() >= playedMoves.size() &&
        std::equal(playedMoves.begin(), playedMoves.end(), moves.begin(),
                   [](const std::string &a, const std::string &b) { return a == lowerCase(b); })) {
        playMoves(moves, playedMoves.size(), playedMoves);
        return true;
    }
    setUpFen(fen);
    if (isInCheck(historyMoved)) {
        playLine(baseFen, playedMoves);
        return false;
    }
    baseFen = fen;
    playedMoves.clear();
    playMoves(moves, 0, playedMoves);
    return true;
}

// A FEN text checked and rewritten for the engine's reader, or nothing when it
// cannot be a position: eight ranks of eight squares, one king each, at most
// 16 pieces a side, no pawn on rank 1 or 8, side "w" or "b". Castling letters
// stay only with the king and that rook on their home squares; an en passant
// square only on the rank a double push passes (rank 6 with White to move,
// rank 3 with Black). Move counters are not used.
std::optional<std::string> checkedFen(const std::vector<std::string> &fields) {
    if (fields.empty()) return std::nullopt;
    char squares[8][8]; // [0] is rank 8
    std::memset(squares, ' ', sizeof squares);
    int row = 0, column = 0, whiteCount = 0, blackCount = 0, whiteKings = 0, blackKings = 0;
    for (char c : fields[0]) {
        if (c == '/') {
            if (column != 8 || row == 7) return std::nullopt;
            ++row;
            column = 0;
        } else if (c >= '1' && c <= '8') {
            column += c - '0';
            if (column > 8) return std::nullopt;
        } else if (std::strchr("KQRBNPkqrbnp", c)) {
            if (column >= 8) return std::nullopt;
            if ((c == 'P' || c == 'p') && (row == 0 || row == 7)) return std::nullopt;
            squares[row][column++] = c;
            if (std::isupper(static_cast<unsigned char>(c)))
                ++whiteCount;
            else
                ++blackCount;
            whiteKings += c == 'K';
            blackKings += c == 'k';
        } else {
            return std::nullopt;
        }
    }
    if (row != 7 || column != 8 || whiteKings != 1 || blackKings != 1 || whiteCount > 16 ||
        blackCount > 16)
        return std::nullopt;
    std::string side = fields.size() > 1 ? fields[1] : "w";
    if (side != "w" && side != "b") return std::nullopt;
    std::string castling;
    std::string given = fields.size() > 2 ? fields[2] : "-";
    struct Right {
        char letter;
        int row, kingColumn, rookColumn;
        char king, rook;
    };
    for (const Right &r : {Right{'K', 7, 4, 7, 'K', 'R'}, Right{'Q', 7, 4, 0, 'K', 'R'},
                           Right{'k', 0, 4, 7, 'k', 'r'}, Right{'q', 0, 4, 0, 'k', 'r'}})
        if (given.find(r.letter) != std::string::npos && squares[r.row][r.kingColumn] == r.king &&
            squares[r.row][r.rookColumn] == r.rook)
            castling += r.letter;
    if (castling.empty()) castling = "-";
    std::string enPassant = fields.size() > 3 ? fields[3] : "-";
    char passedRank = side == "w" ? '6' : '3';
    if (enPassant.size() != 2 || enPassant[0] < 'a' || enPassant[0] > 'h' ||
        enPassant[1] != passedRank)
        enPassant = "-";
    return fields[0] + " " + side + " " + castling + " " + enPassant + " 0 1";
}

// ---- Search ---------------------------------------------------------------

std::thread searchThread;
std::thread watchdogThread;
bool searchRunning = false; // input thread only

// Guarded by stateMutex: the search thread has finished searching. Together
// with stopRequested, the condition the threads wait on.
std::mutex stateMutex;
std::condition_variable stateChanged;
bool searchDone = false;

// Set by the input thread before the search thread starts; read by it.
TimePlan plan{NoLimit, NoLimit};
bool infiniteGo = false;
int32_t firstMateDepth = 0;
std::vector<std::string> rootLegalMoves;
bool rootInCheck = false;

void requestStop() {
    {
        std::lock_guard<std::mutex> lock(stateMutex);
        stopRequested.store(true);
    }
    stateChanged.notify_all();
}

bool reportIteration(const IterationReport &report) {
    int32_t ms = elapsedMs();
    if (isMateValue(report.value) && firstMateDepth == 0) firstMateDepth = report.depth;
    uint64_t nps = report.nodes * 1000 / static_cast<uint64_t>(ms);
    std::string line = "info depth " + std::to_string(report.depth) + " score " +
                       scoreText(report.value, firstMateDepth) + " nodes " +
                       std::to_string(report.nodes) + " nps " + std::to_string(nps) + " time " +
                       std::to_string(ms);
    if (report.bestMove) line += " pv " + uciMoveText(rootPly, report.bestMove);
    send(line);
    return ms < plan.softMs;
}

void runSearch() {
    std::string best = "0000";
    if (rootLegalMoves.empty()) {
        send(std::string("info depth 0 score ") + (rootInCheck ? "mate 0" : "cp 0"));
    } else {
        search();
        if (rootPly->bestMove) best = uciMoveText(rootPly, rootPly->bestMove);
        // The search always chooses a legal move; should it ever not, the
        // GUI still gets one.
        if (std::find(rootLegalMoves.begin(), rootLegalMoves.end(), best) == rootLegalMoves.end())
            best = rootLegalMoves.front();
    }
    std::unique_lock<std::mutex> lock(stateMutex);
    searchDone = true;
    stateChanged.notify_all();
    // "go infinite": the best move waits for "stop" (or "quit").
    if (infiniteGo) stateChanged.wait(lock, [] { return stopRequested.load(); });
    lock.unlock();
    send("bestmove " + best);
}

// Stops the search at the time rule's hard limit: the stop request is read
// every 65,536 nodes, far sooner than the clock check every 1,048,576.
void runWatchdog(Clock::time_point deadline) {
    std::unique_lock<std::mutex> lock(stateMutex);
    if (!stateChanged.wait_until(lock, deadline, [] { return searchDone; })) {
        stopRequested.store(true);
        lock.unlock();
        stateChanged.notify_all();
    }
}

// Ends a running search (its bestmove is printed) and waits for its threads.
void finishSearch() {
    if (!searchRunning) return;
    requestStop();
    searchThread.join();
    if (watchdogThread.joinable()) watchdogThread.join();
    searchRunning = false;
}

void runPerft(int64_t depth) {
    if (depth < 1 || depth > 63) return;
    std::vector<std::string> moves = legalMoveTexts();
    uint64_t total = 0;
    for (const std::string &move : moves) {
        uint64_t count = 1;
        if (depth > 1) {
            std::vector<std::string> line = playedMoves;
            line.push_back(move);
            playLine(baseFen, line);
            depthLimit = static_cast<int32_t>(depth - 1);
            perft();
            count = (rootPly + depth - 2)->generatedCount;
        }
        total += count;
        send(move + ": " + std::to_string(count));
    }
    if (depth > 1) playLine(baseFen, playedMoves);
    send("");
    send("Nodes searched: " + std::to_string(total));
    send("");
}

void startSearch(const std::string &line) {
    Clock::time_point start = Clock::now();
    GoParameters go = parseGo(line);
    if (go.perftAsked) {
        runPerft(go.perft); // a depth outside 1 to 63 does nothing
        return;
    }
    rootLegalMoves = legalMoveTexts();
    rootInCheck = isInCheck(rootPly);
    plan = planTime(go, rootPly->side == WhiteSide);
    infiniteGo = go.infinite;
    firstMateDepth = 0;
    depthLimit = searchDepthFor(go.depth);
    moveTimeMs = static_cast<uint32_t>(plan.hardMs);
    timedOut = 0;
    searchDone = false;
    stopRequested.store(false);
    clockStart = start;
    iterationHook = reportIteration;
    playChosenMove = false;
    searchRunning = true;
    searchThread = std::thread(runSearch);
    if (plan.hardMs != NoLimit)
        watchdogThread = std::thread(runWatchdog, start + std::chrono::milliseconds(plan.hardMs));
}

// ---- Commands -------------------------------------------------------------

std::vector<std::string> wordsOf(const std::string &line) {
    std::vector<std::string> words;
    std::string word;
    for (char c : line) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

void handlePosition(const std::vector<std::string> &words, std::size_t at) {
    if (at >= words.size()) return;
    std::string fen;
    std::size_t next = at + 1;
    if (words[at] == "startpos") {
        fen = StartFen;
    } else if (words[at] == "fen") {
        std::vector<std::string> fields;
        while (next < words.size() && words[next] != "moves") fields.push_back(words[next++]);
        std::optional<std::string> checked = checkedFen(fields);
        if (!checked) {
            send("info string invalid FEN, the position is unchanged");
            return;
        }
        fen = *checked;
    } else {
        return;
    }
    std::vector<std::string> moves;
    if (next < words.size() && words[next] == "moves")
        moves.assign(words.begin() + static_cast<std::ptrdiff_t>(next) + 1, words.end());
    if (!setPosition(fen, moves))
        send("info string invalid FEN (the side not to move is in check), the position is "
             "unchanged");
}

// One line; false after "quit".
bool handleLine(const std::string &line) {
    std::vector<std::string> words = wordsOf(line);
    // An unknown word before a command is skipped, as the protocol asks.
    static const char *const Commands[] = {"uci",       "isready",  "ucinewgame", "position",
                                           "go",        "stop",     "quit",       "debug",
                                           "setoption", "register", "ponderhit"};
    std::size_t at = 0;
    while (at < words.size() && std::none_of(std::begin(Commands), std::end(Commands),
                                             [&](const char *c) { return words[at] == c; }))
        ++at;
    if (at >= words.size()) return true;
    const std::string &command = words[at];
    if (command == "uci") {
        send("id name Brevola");
        send("id author the Brevola authors");
        send("uciok");
    } else if (command == "isready") {
        send("readyok");
    } else if (command == "stop") {
        finishSearch();
    } else if (command == "quit") {
        finishSearch();
        return false;
    } else if (command == "debug") {
        if (at + 1 < words.size()) debugOn = words[at + 1] == "on";
    } else if (command == "ucinewgame") {
        finishSearch();
        routeEngineOutput();
        setPosition(StartFen, {});
    } else if (command == "position") {
        finishSearch();
        routeEngineOutput();
        handlePosition(words, at + 1);
    } else if (command == "go") {
        finishSearch();
        routeEngineOutput();
        std::string rest;
        for (std::size_t i = at + 1; i < words.size(); ++i) rest += words[i] + " ";
        startSearch(rest);
    }
    // setoption, register, ponderhit: nothing to do (no options, no pondering).
    return true;
}

int64_t parseNumber(const std::string &word, bool &ok) {
    errno = 0;
    char *end = nullptr;
    long long value = std::strtoll(word.c_str(), &end, 10);
    ok = end != word.c_str() && *end == '\0' && errno == 0;
    return value;
}

} // namespace

GoParameters parseGo(const std::string &line) {
    GoParameters go;
    std::vector<std::string> words = wordsOf(line);
    struct Field {
        const char *name;
        int64_t GoParameters::*value;
    };
    static const Field Fields[] = {
        {"wtime", &GoParameters::wtime},         {"btime", &GoParameters::btime},
        {"winc", &GoParameters::winc},           {"binc", &GoParameters::binc},
        {"movestogo", &GoParameters::movestogo}, {"movetime", &GoParameters::movetime},
        {"depth", &GoParameters::depth},         {"perft", &GoParameters::perft}};
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "infinite") {
            go.infinite = true;
            continue;
        }
        if (words[i] == "perft") go.perftAsked = true;
        for (const Field &field : Fields) {
            if (words[i] != field.name || i + 1 >= words.size()) continue;
            bool ok = false;
            int64_t value = parseNumber(words[i + 1], ok);
            if (ok) {
                go.*field.value = value;
                ++i;
            }
            break;
        }
    }
    return go;
}

TimePlan planTime(const GoParameters &go, bool whiteToMove) {
    auto clamp = [](int64_t ms) {
        return static_cast<int32_t>(std::clamp<int64_t>(ms, 1, NoLimit - 1));
    };
    if (go.movetime != NotGiven) {
        int32_t ms = clamp(go.movetime - MovetimeMarginMs);
        return {ms, ms};
    }
    int64_t time = whiteToMove ? go.wtime : go.btime;
    if (time == NotGiven || go.infinite) return {NoLimit, NoLimit};
    int64_t increment = std::max<int64_t>(0, whiteToMove ? go.winc : go.binc);
    time = std::max<int64_t>(0, time);
    int64_t reserve = ClockReserveMs + time / 20;
    int64_t usable = std::max<int64_t>(0, time - reserve);
    int64_t moves = go.movestogo > 0 ? std::min<int64_t>(go.movestogo, 30) : 30;
    int64_t budget = std::min(usable, usable / moves + increment);
    int32_t hard = clamp(budget);
    return {hard, std::max(1, hard / SoftDivisor)};
}

int32_t searchDepthFor(int64_t depth) {
    if (depth <= 0) return MaxSearchDepth;
    if (depth >= MaxSearchDepth) return MaxSearchDepth;
    return static_cast<int32_t>(depth + (depth & 1));
}

bool isMateValue(int32_t value) { return value >= MateThreshold || value <= -MateThreshold; }

std::string scoreText(int32_t value, int32_t mateDepth) {
    if (value >= MateThreshold) return "mate " + std::to_string(std::max(1, mateDepth / 2));
    if (value <= -MateThreshold) return "mate -" + std::to_string(std::max(1, mateDepth / 2 - 1));
    int64_t cp = static_cast<int64_t>(value) * 100 / (256 * int64_t{ScoreUnit});
    return "cp " + std::to_string(cp);
}

std::string uciMoveText(const Ply *root, const Move *move) {
    const Square *from = move->mover->square;
    const Square *to = from + move->delta;
    if (move->kind == EnPassant) to += root->pawnStep;
    SquareName a = squareName(from), b = squareName(to);
    std::string text{a.file, a.rank, b.file, b.rank};
    if (isPromotion(move->kind)) {
        if (move->kind & QueenBits)
            text += 'q';
        else if (move->kind & StraightBits)
            text += 'r';
        else if (move->kind & DiagonalBits)
            text += 'b';
        else
            text += 'n';
    }
    return text;
}

std::vector<std::string> legalMoveTexts() {
    listRootMoves();
    std::vector<std::string> texts;
    for (Move *m = rootPly->listStart; m < listEnd(rootPly); ++m)
        if (isLegalAtRoot(m)) texts.push_back(uciMoveText(rootPly, m));
    return texts;
}

int runUci(std::FILE *in, std::FILE *out) {
    std::FILE *savedConsoleOut = consoleOut;
    char *savedFenInput = fenInputText, *savedFenOutput = fenOutputText;
    int32_t savedDepthLimit = depthLimit;
    uint32_t savedMoveTime = moveTimeMs;

    uciOut = out;
    sink = std::fopen("/dev/null", "w");
    debugOn = false;
    fenInputBuffer[0] = '\0';
    fenInputText = fenInputBuffer;
    fenOutputText = fenOutputBuffer;
    runningScore = 0;
    baseFen.clear();
    playedMoves.clear();
    routeEngineOutput();
    setPosition(StartFen, {});

    char *buffer = nullptr;
    std::size_t size = 0;
    ssize_t length;
    while ((length = getline(&buffer, &size, in)) >= 0)
        if (!handleLine(std::string(buffer, static_cast<std::size_t>(length)))) break;
    std::free(buffer);
    finishSearch();

    iterationHook = nullptr;
    playChosenMove = true;
    stopRequested.store(false);
    consoleOut = savedConsoleOut;
    fenInputText = savedFenInput;
    fenOutputText = savedFenOutput;
    depthLimit = savedDepthLimit;
    moveTimeMs = savedMoveTime;
    if (sink) std::fclose(sink);
    sink = nullptr;
    uciOut = stdout;
    return 0;
}

} // namespace brevola
