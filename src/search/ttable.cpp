#include "search/ttable.h"

#include <cstring>
#include <new>

namespace brevola {

bool reserveTranspositionTable() {
    if (ttBase) return true;
    ttBase = new (std::nothrow) uint8_t[TableBlockBytes];
    if (!ttBase) return false;
    ttBytes = TableBytesInUse;
    return true;
}

void clearTranspositionTable() {
    if (ttBase) std::memset(ttBase, 0, ttBytes);
}

} // namespace brevola
