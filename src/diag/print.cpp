#include "diag/print.h"

#include "diag/output.h"

namespace brevola {

void printHexDigit(uint32_t value) {
    uint32_t d = value & 15;
    outChar(static_cast<char>(d <= 9 ? '0' + d : 'a' + (d - 10)));
}

void printHexByte(uint32_t byte) {
    printHexDigit(byte >> 4);
    printHexDigit(byte);
}

void printHex(uint32_t value) {
    bool printed = false;
    for (int shift = 24; shift >= 0; shift -= 8) {
        uint32_t byte = (value >> shift) & 0xFF;
        if (!printed && byte == 0) continue;
        printHexByte(byte);
        printed = true;
    }
    if (!printed) outChar('0');
}

void printHexHigh16(uint32_t value) { printHex((value >> 16) & 0xFFFF); }

void printPieceLetter(const PieceEntry *entry) {
    if (!entry->square) return;
    // Italian initials; a code with no other kind bit prints as a pawn.
    PieceCode code = entry->square->code;
    char letter = "RDTACOO"[pieceKindOf(code)];
    if (isWhiteCode(code)) letter = static_cast<char>(letter - 'A' + 'a');
    outChar(letter);
}

SquareName squareName(const Square *square) {
    int fromA8 = squareIndexOf(square) - squareIndex(0, 8);
    return SquareName{static_cast<char>('a' + fromA8 % 10), static_cast<char>('8' - fromA8 / 10)};
}

void printSquare(const Square *square) {
    SquareName name = squareName(square);
    outChar(name.file);
    outChar(name.rank);
}

void printMove(const Ply *ply, const Move *move) {
    if (!move) return;
    printPieceLetter(move->mover);
    const Square *from = move == ply->currentMove ? ply->fromSquare : move->mover->square;
    printSquare(from);
    printSquare(from + move->delta);
    outChar(':');
    printHexHigh16(static_cast<uint32_t>(move->sortKey));
    outChar(':');
    printHexHigh16(static_cast<uint32_t>(move->searchValue));
    outChar(' ');
}

} // namespace brevola
