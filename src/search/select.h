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

// The search's next move at a ply: the same answer as selectBestMove, found
// faster. While a ply's loop runs, only the made move's key changes (to
// MinusInfinity), so after a pick with key K no untried move ranks above K and
// the untried moves that still carry K stand before the last pick in the
// list: the nearest of them is next. The full scan counts them.
inline Move *selectNextMove(Ply *ply) {
    if (ply->currentMove && ply->sameKeyLeft > 0) {
        --ply->sameKeyLeft;
        for (Move *m = ply->currentMove; m-- > ply->listStart;)
            if (m->sortKey == ply->selectedKey) return m;
    }
    Move *chosen = nullptr;
    int32_t best = MinusInfinity;
    int32_t sameKey = 0;
    for (Move *m = listEnd(ply); m-- > ply->listStart;) {
        int32_t key = m->sortKey;
        if (key > best) {
            best = key;
            chosen = m;
            sameKey = 0;
        } else if (key == best) {
            ++sameKey;
        }
    }
    ply->selectedKey = best;
    ply->sameKeyLeft = chosen ? sameKey : 0;
    return chosen;
}

} // namespace brevola
