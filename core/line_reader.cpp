#include "core/line_reader.h"

#include <algorithm>

bool LineReader::fill() {
    if (endOfInput) return false;
    if (next > 0) {
        buffer.erase(0, next);
        next = 0;
    }
    if (!input.read(buffer)) {
        endOfInput = true;
        return false;
    }
    // The LF of a CR LF split across two reads.
    if (lineFeedMayFollow && buffer[next] == '\n') ++next;
    lineFeedMayFollow = false;
    return true;
}

bool LineReader::readLine(std::string& line) {
    while (lineEnd() == std::string::npos && fill()) {}
    if (!peekLine(line)) return false;
    const std::size_t end = lineEnd();
    next = std::min(end + 1, buffer.size());
    // A CR ends a line alone or with the LF after it.
    if (end < buffer.size() && buffer[end] == '\r') {
        if (next < buffer.size() && buffer[next] == '\n')
            ++next;
        else
            lineFeedMayFollow = next == buffer.size();
    }
    scanned = 0;
    return true;
}

bool LineReader::readWord(std::string& word) {
    scanned = 0;
    const auto isSpace = [](char ch) {
        return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
    };
    for (;;) {
        while (next < buffer.size() && isSpace(buffer[next])) ++next;
        if (next < buffer.size()) break;
        if (!fill()) return false;
    }
    std::size_t end = next;
    for (;;) {
        while (end < buffer.size() && !isSpace(buffer[end])) ++end;
        if (end < buffer.size() || endOfInput) break;
        const std::size_t offset = end - next;
        if (!fill()) break;
        end = next + offset;
    }
    word.assign(buffer, next, end - next);
    next = end;
    return true;
}

std::size_t LineReader::lineEnd() const {
    const std::size_t end = buffer.find_first_of("\r\n", next + scanned);
    if (end != std::string::npos) {
        scanned = end - next;
        return end;
    }
    scanned = buffer.size() - next;
    return endOfInput && next < buffer.size() ? buffer.size() : std::string::npos;
}

bool LineReader::peekLine(std::string& line) const {
    const std::size_t end = lineEnd();
    if (end == std::string::npos) return false;
    line.assign(buffer, next, end - next);
    return true;
}

LineReader::Wake LineReader::waitForLine() {
    for (;;) {
        if (lineEnd() != std::string::npos) return Wake::LINE;
        if (input.wait(!endOfInput) == StandardInput::Ready::WOKEN) return Wake::OTHER;
        if (!fill() && exhausted()) return Wake::END_OF_INPUT;
    }
}
