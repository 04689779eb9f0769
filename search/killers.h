#pragma once

#include "core/types.h"

// The last two quiet moves that were best at a node of each ply; NOMOVE marks
// an empty slot.
class KillerTable {
public:
    [[nodiscard]] Move get1(int ply) const { return killers[ply][0]; }
    [[nodiscard]] Move get2(int ply) const { return killers[ply][1]; }
    // Makes move the first killer of the ply, the old first becoming second.
    void insert(const Move& move, int ply);
    void clear();

private:
    Move killers[MAX_PLY][2] = {};
};
