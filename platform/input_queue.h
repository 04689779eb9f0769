#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <limits>
#include <mutex>
#include <string>
#include <string_view>

// Bytes of input handed over from the thread or the callback that receives
// them to the thread that reads them, and the wake-up of that reader, under
// one lock and one condition. The builds whose standard input cannot be
// waited on together with a wake-up feed one.
//
// The reader gets whole lines only (a line ends at LF or CR; the last one
// may lack its end once input has ended). A line longer than longestLine
// bytes is never held whole: its bytes are dropped as they arrive, and the
// reader gets an empty line in its place, after one info string that says
// so, where the line would have been read.
class InputQueue {
public:
    explicit InputQueue(std::size_t longestLine = std::numeric_limits<std::size_t>::max()) : longestLine(longestLine) {}

    // From the receiving side: more bytes, and the end of input. deliver
    // answers how many bytes of whole lines wait to be read, so that a
    // host that cannot block can hold back its input while they are many.
    std::size_t deliver(std::string_view bytes);
    void close();

    // From the reading side, as StandardInput's read, wait and wake.
    bool read(std::string& buffer);
    [[nodiscard]] bool waitForInput(bool watchInput);
    void wake();

private:
    // Ends the line being received with the given line end byte.
    void endLine(char lineEnd);

    // Where a dropped line's empty stand-in lies among the bytes handed
    // out since the start, and how long the line was.
    struct DroppedLine {
        std::size_t at;
        std::size_t length;
    };

    const std::size_t longestLine;
    std::mutex lock;
    std::condition_variable changed;
    // Whole lines not yet read, the first at byte readCount of the input
    // handed out since the start.
    std::string pending;
    std::size_t readCount = 0;
    std::deque<DroppedLine> dropped;
    // The line being received, and its length so far (it is no longer held
    // once it grows longer than longestLine).
    std::string partial;
    std::size_t partialLength = 0;
    bool closed = false;
    bool woken = false;
};

// The queue standard input feeds, made by the build's feeder (a reading
// thread, or a function the host calls) the first time it is asked for. It
// lives as long as the process.
[[nodiscard]] InputQueue& standardInputQueue();
