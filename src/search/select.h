// Move selection: the untried move with the highest ordering key.
#pragma once

#include "search/ply.h"

namespace brevola {

// Scans the ply's list from its last move to its first; a move wins only with
// a strictly greater sortKey, so among equal keys the later move is chosen.
// None when the list is empty or every key is MinusInfinity.
inline Move *selectBestMove(const Ply *ply) {
    Move *chosen = nullptr;
    int32_t best = MinusInfinity;
    for (Move *m = listEnd(ply); m-- > ply->listStart;) {
        if (m->sortKey > best) {
            best = m->sortKey;
            chosen = m;
        }
    }
    return chosen;
}

} // namespace brevola
