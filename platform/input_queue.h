#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>

// Bytes of input handed over from the thread or the callback that receives
// them to the thread that reads them, and the wake-up of that reader, under
// one lock and one condition. The builds whose standard input cannot be
// waited on together with a wake-up feed one.
class InputQueue {
public:
    // From the receiving side: more bytes, and the end of input.
    void deliver(std::string_view bytes);
    void close();

    // From the reading side, as StandardInput's read, wait and wake.
    bool read(std::string& buffer);
    [[nodiscard]] bool waitForInput(bool watchInput);
    void wake();

private:
    std::mutex lock;
    std::condition_variable changed;
    std::string pending;
    bool closed = false;
    bool woken = false;
};

// The queue standard input feeds, made by the build's feeder (a reading
// thread, or a function the host calls) the first time it is asked for. It
// lives as long as the process.
[[nodiscard]] InputQueue& standardInputQueue();
