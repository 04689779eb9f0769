#pragma once

#include <cstdint>

#include "core/types.h"

// The 64-bit position key. The key tables are drawn once from an MT19937-64
// generator seeded with ZOBRIST_SEED, so every board and every run uses the
// same keys; each Zobrist object only carries the current key.
class Zobrist {
public:
    static constexpr unsigned ZOBRIST_SEED = 20429085;

    struct Keys {
        // By pieceCode and square.
        std::uint64_t piece[PIECE_CODES][128];
        std::uint64_t side;
        std::uint64_t enPassant[8];
        std::uint64_t castle[16];
    };

    // Filled during static initialisation; no Board may be built before main().
    static const Keys KEYS;

    // Adds the key of the piece on the square, or takes it out again.
    void togglePiece(int piece, int color, int square) { hash ^= pieceKey(pieceCode(color, piece), square); }
    void updateHashSide() { hash ^= static_cast<std::int64_t>(KEYS.side); }
    void updateHashEp(int square) { hash ^= enPassantKey(square); }
    void updateHashCastle(int rights) { hash ^= static_cast<std::int64_t>(KEYS.castle[rights]); }

    // The key terms of a piece (by pieceCode) on a square, of black to move
    // and of castling rights.
    [[nodiscard]] static std::int64_t pieceKey(int code, int square) {
        return static_cast<std::int64_t>(KEYS.piece[code][square]);
    }
    [[nodiscard]] static std::int64_t sideKey() { return static_cast<std::int64_t>(KEYS.side); }
    [[nodiscard]] static std::int64_t castleKey(int rights) { return static_cast<std::int64_t>(KEYS.castle[rights]); }
    // The key term of an en passant square.
    [[nodiscard]] static std::int64_t enPassantKey(int square) {
        return static_cast<std::int64_t>(KEYS.enPassant[square & 7]);
    }

    [[nodiscard]] std::int64_t getHash() const { return hash; }
    void setHash(std::int64_t key) { hash = key; }

private:
    std::int64_t hash = 0;
};
