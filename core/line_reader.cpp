#include "core/line_reader.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

LineReader::LineReader(int fd) : fd(fd) {}

bool LineReader::fill() {
    if (endOfInput) return false;
    if (next > 0) {
        buffer.erase(0, next);
        next = 0;
    }
    char chunk[4096];
    for (;;) {
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count > 0) {
            buffer.append(chunk, static_cast<std::size_t>(count));
            return true;
        }
        if (count < 0 && errno == EINTR) continue;
        endOfInput = true;
        return false;
    }
}

bool LineReader::readLine(std::string& line) {
    std::size_t searchFrom = next;
    for (;;) {
        const std::size_t end = buffer.find('\n', searchFrom);
        if (end != std::string::npos) {
            line.assign(buffer, next, end - next);
            next = end + 1;
            break;
        }
        const std::size_t searched = buffer.size() - next;
        if (!fill()) {
            if (next >= buffer.size()) return false;
            line.assign(buffer, next, std::string::npos);
            next = buffer.size();
            break;
        }
        searchFrom = next + searched;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

bool LineReader::readWord(std::string& word) {
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

bool LineReader::inputWaiting() {
    if (next < buffer.size()) return true;
    if (endOfInput) return false;
    pollfd request{fd, POLLIN, 0};
    if (::poll(&request, 1, 0) <= 0 || (request.revents & (POLLIN | POLLHUP)) == 0) return false;
    return fill();
}
