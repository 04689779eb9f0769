#pragma once

// A middlegame and an endgame value kept side by side. Every evaluation term
// is one of these; the two halves meet only in taper().
struct Score {
    int mg = 0;
    int eg = 0;

    // The same value in both phases.
    [[nodiscard]] static constexpr Score both(int value) { return {value, value}; }

    constexpr Score& operator+=(const Score& other) {
        mg += other.mg;
        eg += other.eg;
        return *this;
    }
    [[nodiscard]] constexpr bool operator==(const Score& other) const = default;
};

[[nodiscard]] constexpr Score operator+(Score a, const Score& b) { return a += b; }
[[nodiscard]] constexpr Score operator*(const Score& score, int times) { return {score.mg * times, score.eg * times}; }

// The phase of a position with every minor and major piece on the board;
// a bare endgame has phase 0.
constexpr int MAX_PHASE = 24;

// Blends the two halves by the game phase, truncating toward zero.
[[nodiscard]] constexpr int taper(const Score& score, int phase) {
    return (score.mg * phase + score.eg * (MAX_PHASE - phase)) / MAX_PHASE;
}
