#pragma once

#include <string>

#include "platform/standard_input.h"

// Reads standard input through a buffer of its own, so that the engine can
// ask whether input is waiting and see both what it has already read and
// what the operating system holds.
class LineReader {
public:
    LineReader() = default;

    // The next line without its line end: LF, CR LF or a lone CR. False at
    // end of input when nothing is left.
    bool readLine(std::string& line);
    // The next word, skipping white space and line ends. False at end of input.
    bool readWord(std::string& word);
    // What ended a wait for a line.
    enum class Wake { LINE, END_OF_INPUT, OTHER };
    // Blocks until a whole line is buffered (or input ended after part of
    // one), input ends, or wake is called. Once input has ended, only wake
    // ends the wait.
    [[nodiscard]] Wake waitForLine();
    // Ends the current wait for a line, or the next one, with Wake::OTHER;
    // safe from any thread.
    void wake() { input.wake(); }
    // The next whole line without reading it; false when none is buffered.
    [[nodiscard]] bool peekLine(std::string& line) const;
    // True once the descriptor reported end of input and the buffer is empty.
    [[nodiscard]] bool exhausted() const { return endOfInput && next >= buffer.size(); }

private:
    // Reads once from the descriptor into the buffer; false at end of input.
    bool fill();
    // Where the next line ends in the buffer; npos when no whole line is
    // buffered.
    [[nodiscard]] std::size_t lineEnd() const;

    StandardInput input;
    std::string buffer;
    std::size_t next = 0;
    // How many bytes from next on hold no line end: each look for the end
    // of a line reads only what has arrived since the last look.
    mutable std::size_t scanned = 0;
    bool endOfInput = false;
    // Whether the last line read ended in a CR at the end of the buffer, so
    // that an LF arriving next belongs to its line end.
    bool lineFeedMayFollow = false;
};
