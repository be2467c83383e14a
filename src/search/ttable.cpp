#include "search/ttable.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <new>

namespace brevola {

namespace {

// Ask the kernel to back the part of the block in use with 2 MiB pages where
// it can: clearing 128 MiB then takes 64 page faults instead of 32,768, which
// is most of the start-up time. Only a hint; nothing depends on it.
void preferLargePages(uint8_t *block, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t Large = std::uintptr_t{1} << 21;
    std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(block) + Large - 1) & ~(Large - 1);
    std::uintptr_t end = reinterpret_cast<std::uintptr_t>(block) + bytes;
    if (end > begin) madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

} // namespace

bool reserveTranspositionTable() {
    if (ttBase) return true;
    ttBase = new (std::nothrow) uint8_t[TableBlockBytes];
    if (!ttBase) return false;
    preferLargePages(ttBase, TableBytesInUse);
    ttBytes = TableBytesInUse;
    return true;
}

void clearTranspositionTable() {
    if (ttBase) std::memset(ttBase, 0, ttBytes);
}

} // namespace brevola
