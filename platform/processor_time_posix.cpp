#include <ctime>

#include "platform/processor_time.h"

std::int64_t processorMicroseconds() {
    constexpr std::int64_t MICROSECONDS_PER_SECOND = 1'000'000;
    return static_cast<std::int64_t>(std::clock()) * MICROSECONDS_PER_SECOND / CLOCKS_PER_SEC;
}
