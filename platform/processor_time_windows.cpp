#include <windows.h>

#include "platform/processor_time.h"

// The C library's clock measures wall time on Windows; the process's own
// accounting has the user and kernel time in units of 100 ns.
std::int64_t processorMicroseconds() {
    constexpr std::int64_t TICKS_PER_MICROSECOND = 10;
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    const auto ticks = [](const FILETIME& time) {
        return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / TICKS_PER_MICROSECOND;
}
