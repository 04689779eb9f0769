#include "search/killers.h"

#include <cassert>

void KillerTable::insert(const Move& move, int ply) {
    assert(ply >= 0 && ply < MAX_PLY);
    if (move == killers[ply][0]) return;
    killers[ply][1] = killers[ply][0];
    killers[ply][0] = move;
}

void KillerTable::clear() {
    for (auto& pair : killers) pair[0] = pair[1] = NOMOVE;
}
