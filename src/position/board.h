// The board model: a 10 x 14 mailbox of square records, 32-bit piece codes, the
// positional table and the two piece lists. Everything here is plain data that
// set-up fills, make/unmake changes and every other subsystem reads.
#pragma once

#include <cstdint>

namespace brevola {

struct Move;
struct PieceEntry;
struct Square;

// ---------------------------------------------------------------------------
// PieceCode: 32 bits.
//   bits 0-1   pawn        (white 0x1,    black 0x2)
//   bits 2-3   diagonal    (white 0x4,    black 0x8)     bishops and queens
//   bits 4-5   straight    (white 0x10,   black 0x20)    rooks and queens
//   bits 6-7   king        (white 0x40,   black 0x80)
//   bits 8-9   colour      (white 0x100,  black 0x200)   both in BorderCode
//   bits 10-11 knight      (white 0x400,  black 0x800)
//   bits 12-13 queen       (white 0x1000, black 0x2000)
//   bits 14-15 always 0
//   bits 16-30 material in score units (aligned with the score: 65536 = 1 unit)
//   bit  31    set only in EmptyCode, so an empty square is the only negative code
// In every pair the black bit is the white bit shifted left by one.
// ---------------------------------------------------------------------------
using PieceCode = int32_t;
using SideMask = int32_t;
using HashKey = uint64_t;

constexpr int32_t fromBits(uint32_t bits) { return static_cast<int32_t>(bits); }

constexpr int32_t PawnBits = 0x3;
constexpr int32_t DiagonalBits = 0xC;
constexpr int32_t StraightBits = 0x30;
constexpr int32_t KingBits = 0xC0;
constexpr int32_t ColourBits = 0x300;
constexpr int32_t KnightBits = 0xC00;
constexpr int32_t QueenBits = 0x3000;
constexpr int32_t WhiteColourBit = 0x100;
constexpr int32_t BlackColourBit = 0x200;
constexpr int32_t MaterialMask = 0x7FFF0000;

constexpr PieceCode WhiteKing = 0x40000140, BlackKing = 0x40000280;
constexpr PieceCode WhiteQueen = 0x0A001114, BlackQueen = 0x0A002228;
constexpr PieceCode WhiteRook = 0x05000110, BlackRook = 0x05000220;
constexpr PieceCode WhiteBishop = 0x03000104, BlackBishop = 0x03000208;
constexpr PieceCode WhiteKnight = 0x03000500, BlackKnight = 0x03000A00;
constexpr PieceCode WhitePawn = 0x01000101, BlackPawn = 0x01000202;
constexpr PieceCode EmptyCode = fromBits(0x80010000u);
constexpr PieceCode BorderCode = 0x00000300;

// SideMask: the empty flag plus the side's colour bit. code & side read by sign:
// negative = empty, zero = enemy piece, positive = own piece or border.
constexpr SideMask WhiteSide = fromBits(0x80000100u);
constexpr SideMask BlackSide = fromBits(0x80000200u);
constexpr SideMask SideSwap = 0x300;

static_assert(EmptyCode < 0 && BorderCode > 0, "EmptyCode is the only negative code");
static_assert((BorderCode & ColourBits) == ColourBits, "the border is 'own' for both sides");
static_assert(EmptyCode < BorderCode && BorderCode < WhitePawn, "empty < border < pieces");
static_assert(BlackBishop < WhiteKnight && BlackQueen < WhiteKing, "material orders the codes");
static_assert((EmptyCode & MaterialMask) == 0x10000, "an empty target earns one unit");
static_assert((BorderCode & MaterialMask) == 0, "the border carries no material");
static_assert((WhiteSide ^ SideSwap) == BlackSide, "XOR 0x300 gives the other side");
static_assert((WhitePawn & WhiteSide) > 0 && (BlackPawn & WhiteSide) == 0 &&
                  (EmptyCode & WhiteSide) < 0 && (BorderCode & WhiteSide) > 0,
              "one AND classifies a square");

// Score unit: 65536 is one unit, a pawn is 256 units.
constexpr int32_t ScoreUnit = 0x10000;
constexpr int32_t CastlingBonus = 0x00800000; // 128 units

// ---------------------------------------------------------------------------
// Geometry: 14 rows of 10 columns. Rows 4..11 are ranks 8..1, columns 0..7 are
// files a..h; everything else is the border ring.
// ---------------------------------------------------------------------------
constexpr int BoardSquares = 140;
constexpr int squareIndex(int file, int rank) { return (12 - rank) * 10 + file; }
constexpr int fileOf(int index) { return index % 10; }
constexpr int rankOf(int index) { return 12 - index / 10; }
constexpr bool isPlayingIndex(int index) { return index >= 40 && index < 120 && index % 10 < 8; }
static_assert(squareIndex(0, 8) == 40 && squareIndex(7, 1) == 117, "a8 = 40, h1 = 117");
static_assert(squareIndex(4, 1) == 114 && squareIndex(0, 1) == 110, "e1 = 114, a1 = 110");

// A move generator: side to move, the piece's entry, its square and the write
// position; returns the write position after the last appended record.
using MoveGenerator = Move *(*)(SideMask side, PieceEntry *entry, Square *from, Move *out);

// The occupant of a square: its code and the entry of the piece standing there.
// Make and unmake copy occupants as one unit, so code and link travel together.
struct Occupant {
    PieceCode code;
    PieceEntry *piece;
};

struct Square {
    PieceCode code;     // what stands here
    PieceEntry *piece;  // its entry; null on empty and border squares
    HashKey key;        // always zero
    int32_t placeValue; // PlaceTable value x 65536 on playing squares, 0 on the border

    Occupant occupant() const { return Occupant{code, piece}; }
    void setOccupant(Occupant o) {
        code = o.code;
        piece = o.piece;
    }
};

struct PieceEntry {
    Square *square;          // where the piece stands (or was captured); null ends a list
    MoveGenerator generator; // the generator of its kind
    int32_t moveCount;       // 0 only for a king or rook that may still castle
    uint32_t letter;         // the FEN letter it was read from
};

constexpr int PieceListSize = 17; // 16 pieces and a terminator
using PieceList = PieceEntry[PieceListSize];

// The one board, the two piece lists and the king links. Set-up (setUpPosition)
// fills them; makeMove/unmakeMove change occupants and entries.
inline Square board[BoardSquares];
inline PieceList whitePieces;
inline PieceList blackPieces;
inline PieceEntry *whiteKing = nullptr;
inline PieceEntry *blackKing = nullptr;
// The position's hash value: always zero, no operation computes keys.
inline HashKey positionHash = 0;

// Positional values in score units, rank 8 first, files a..h.
constexpr int8_t PlaceTable[8][8] = {
    {10, 10, 10, 10, 10, 10, 10, 10}, {2, 18, 18, 18, 18, 18, 18, 2},
    {3, 19, 56, 51, 51, 56, 19, 3},   {4, 20, 52, 102, 102, 52, 20, 4},
    {4, 20, 52, 102, 102, 52, 20, 4}, {3, 19, 56, 51, 51, 56, 19, 3},
    {2, 18, 18, 18, 18, 18, 18, 2},   {10, 10, 10, 10, 10, 10, 10, 10},
};

// The kind a code shows, tested in this order because a queen also carries
// the straight and diagonal bits. NoPiece: no kind bit (empty or border).
enum PieceKindIndex { KingKind, QueenKind, RookKind, BishopKind, KnightKind, PawnKind, NoPiece };
inline PieceKindIndex pieceKindOf(PieceCode code) {
    if (code & KingBits) return KingKind;
    if (code & QueenBits) return QueenKind;
    if (code & StraightBits) return RookKind;
    if (code & DiagonalBits) return BishopKind;
    if (code & KnightBits) return KnightKind;
    if (code & PawnBits) return PawnKind;
    return NoPiece;
}
inline bool isWhiteCode(PieceCode code) { return (code & WhiteColourBit) != 0; }

inline int squareIndexOf(const Square *sq) { return static_cast<int>(sq - board); }
inline bool isOnBoard(const PieceEntry *entry) { return entry->square->piece == entry; }
inline SideMask otherSide(SideMask side) { return side ^ SideSwap; }

// 32-bit wrap-around arithmetic for scores (signed overflow is undefined in C++).
inline int32_t wrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t wrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t wrapNeg(int32_t a) { return static_cast<int32_t>(0u - static_cast<uint32_t>(a)); }

} // namespace brevola
