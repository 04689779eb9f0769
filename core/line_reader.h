#pragma once

#include <string>

// Reads standard input through a buffer of its own, so that the engine can
// ask whether input is waiting and see both what it has already read and
// what the operating system holds.
class LineReader {
public:
    explicit LineReader(int fd);

    // The next line without its line end (a trailing carriage return is
    // dropped too). False at end of input when nothing is left.
    bool readLine(std::string& line);
    // The next word, skipping white space and line ends. False at end of input.
    bool readWord(std::string& word);
    // True when unread input is buffered or the descriptor has data; never
    // blocks. End of input is not input.
    [[nodiscard]] bool inputWaiting();
    // True once the descriptor reported end of input and the buffer is empty.
    [[nodiscard]] bool exhausted() const { return endOfInput && next >= buffer.size(); }

private:
    // Reads once from the descriptor into the buffer; false at end of input.
    bool fill();

    int fd;
    std::string buffer;
    std::size_t next = 0;
    bool endOfInput = false;
};
