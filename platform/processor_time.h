#pragma once

#include <cstdint>

// The processor time the engine's process has used so far, in microseconds,
// for the "ms" lines of perft and of the console game's computer player.
[[nodiscard]] std::int64_t processorMicroseconds();

inline constexpr double MICROSECONDS_PER_MILLISECOND = 1000.0;
