// The transposition table's storage: reserved once at start-up and cleared on
// every FEN load. The search never consults it, so ttHitCount stays 0.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brevola {

constexpr std::size_t TableBlockBytes = std::size_t{1} << 29; // 512 MiB reserved
constexpr std::size_t TableBytesInUse = std::size_t{1} << 27; // 128 MiB cleared

inline uint8_t *ttBase = nullptr; // the block; reserved by reserveTranspositionTable
inline std::size_t ttBytes = 0;   // bytes in use

// Reserve the block and set the size in use, once per process: later calls
// keep the block and whatever size is in use then (a fuzz target shrinks it so
// that every start-up does not clear 128 MiB). False when the memory cannot be
// had.
bool reserveTranspositionTable();

// Zero the first ttBytes bytes of the block.
void clearTranspositionTable();

} // namespace brevola
