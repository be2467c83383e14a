#include "session.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>

#include "diag/output.h"
#include "frontend/console.h"
#include "frontend/console_state.h"

namespace brevola::testing {

SessionResult runSession(const std::string &input) {
    std::FILE *in = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    char *buffer = nullptr;
    std::size_t size = 0;
    std::FILE *out = open_memstream(&buffer, &size);
    consoleIn = in;
    consoleOut = out;
    int status = runConsole();
    std::fclose(out);
    std::fclose(in);
    consoleIn = stdin;
    consoleOut = stdout;
    std::string text(buffer, size);
    std::free(buffer);
    return SessionResult{text, status};
}

std::string maskTimes(const std::string &output) {
    static const std::regex figures(R"((ms=|n/s=|m/s=|inizio )-?[0-9]+)");
    return std::regex_replace(output, figures, "$1#");
}

ScopedTempDir::ScopedTempDir() {
    previous_ = std::filesystem::current_path().string();
    std::string pattern = (std::filesystem::temp_directory_path() / "brevola-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
    std::filesystem::current_path(path_);
}

ScopedTempDir::~ScopedTempDir() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string ScopedTempDir::read(const std::string &name) const {
    std::ifstream file(path_ + "/" + name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string expectedBoard(const std::string &placement, const std::string &m,
                          const std::string &bp) {
    static const std::string separator = "\n┼─┼─┼─┼─┼─┼─┼─┼─┼\n";
    std::string cells;
    for (char c : placement) {
        if (c == '/') continue;
        if (c >= '1' && c <= '8')
            cells.append(static_cast<std::size_t>(c - '0'), ' ');
        else
            cells.push_back(c);
    }
    auto italian = [](char c) {
        char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        char letter = upper == 'K'   ? 'R'
                      : upper == 'Q' ? 'D'
                      : upper == 'R' ? 'T'
                      : upper == 'B' ? 'A'
                      : upper == 'N' ? 'C'
                      : upper == 'P' ? 'O'
                                     : ' ';
        // White (upper case in FEN) prints in lower case, black in upper case.
        bool white = c >= 'A' && c <= 'Z';
        return white ? static_cast<char>(std::tolower(static_cast<unsigned char>(letter))) : letter;
    };
    std::string text = "\n";
    for (int row = 0; row < 8; ++row) {
        text += separator;
        for (int file = 0; file < 8; ++file) {
            text += '|';
            text += italian(cells.at(static_cast<std::size_t>(row * 8 + file)));
        }
        text += '|';
    }
    text += separator;
    text += "\nM=" + m + " H=0 bp=" + bp + "\n";
    return text;
}

std::string startUp() { return Banner + expectedBoard(StartPlacement, "00", "0") + "\n"; }

std::string loaded(const std::string &placement) {
    return ">\nInsert FEN string: " + expectedBoard(placement, "00", "0") + "\n";
}

std::string logLine(int number, const std::string &fen) {
    return std::to_string(number) + "\t" + fen + "\n";
}

std::string perftStats(int depth, long perft, long nodes, long moves, long time) {
    return "\n\n" + std::to_string(depth) + ": perft=" + std::to_string(perft) +
           " ms=# nodi=" + std::to_string(nodes) + " n/s=# mosse=" + std::to_string(moves) +
           " m/s=# tt=0%\n time=" + std::to_string(time) + "\n";
}

std::string dots(std::size_t n) { return std::string(n, '.'); }

std::string candidate(const std::string &move) { return move + ":8000:0 "; }

std::string candidates(const std::vector<std::string> &moves, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += candidate(moves.at(i));
    return text;
}

std::vector<std::string> whiteStartMoves() {
    std::vector<std::string> moves;
    for (char f = 'a'; f <= 'h'; ++f) {
        moves.push_back(std::string("o") + f + "2" + f + "3");
        moves.push_back(std::string("o") + f + "2" + f + "4");
    }
    for (const char *m : {"cb1c3", "cb1a3", "cg1h3", "cg1f3"}) moves.push_back(m);
    return moves;
}

std::string unmatchedWhiteLine() { return dots(20) + candidates(whiteStartMoves(), 20); }

} // namespace brevola::testing
