#pragma once

// What the processor running the engine offers beyond the build's target.
// The evaluator and the move counter are built twice, once for processors
// with a population-count instruction, and pick their copy by this.
#if defined(__x86_64__) || defined(__i386__)
// Asked once, when the engine starts.
inline const bool HAS_POPULATION_COUNT = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("popcnt") != 0;
}();
// Marks the copy of a function built with the instruction.
#define WITH_POPULATION_COUNT [[gnu::target("popcnt")]]
#else
// Other processors get the compiler's bit count for the build's target.
constexpr bool HAS_POPULATION_COUNT = false;
#define WITH_POPULATION_COUNT
#endif
