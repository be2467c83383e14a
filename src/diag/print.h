// Character printers for the engine's diagnostics: hexadecimal numbers, piece
// initials (Italian: R king, D queen, T rook, A bishop, C knight, O pawn; white
// in lower case), square names and move texts. They only read and print.
#pragma once

#include <cstdint>

#include "search/ply.h"

namespace brevola {

void printHexDigit(uint32_t value);
void printHexByte(uint32_t byte);
void printHex(uint32_t value);
void printHexHigh16(uint32_t value);
void printPieceLetter(const PieceEntry *entry);

struct SquareName {
    char file;
    char rank;
};
SquareName squareName(const Square *square);
void printSquare(const Square *square);

// "<initial><from><to>:<sortKey high 16>:<searchValue high 16> "; nothing for
// a null move. The ply's made move takes its from-square from the ply.
void printMove(const Ply *ply, const Move *move);

} // namespace brevola
