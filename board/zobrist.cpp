#include "board/zobrist.h"

#include <random>

namespace {

Zobrist::Keys drawKeys() {
    std::mt19937_64 rng(Zobrist::ZOBRIST_SEED);
    Zobrist::Keys keys{};
    // Colour by colour, type by type, square by square.
    for (auto& piece : keys.piece)
        for (auto& key : piece) key = rng();
    keys.side = rng();
    for (auto& key : keys.enPassant) key = rng();
    for (auto& key : keys.castle) key = rng();
    return keys;
}

}  // namespace

const Zobrist::Keys Zobrist::KEYS = drawKeys();
