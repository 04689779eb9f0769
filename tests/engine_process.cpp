#include "tests/engine_process.h"

#include <cstdlib>
#include <sstream>
#include <utility>

std::vector<std::string> engineCommand() {
    const char* const given = std::getenv("MARROWBY_ENGINE");
    if (given == nullptr || *given == '\0') return {MARROWBY_BINARY};
    std::istringstream words(given);
    std::vector<std::string> command;
    for (std::string word; words >> word;) command.push_back(word);
    return command;
}

// The engine built for Windows writes CRLF through its C runtime's text mode.
bool EngineProcess::endsLinesInCrlf(const std::vector<std::string>& command) {
    for (const std::string& word : command)
        if (word.ends_with(".exe")) return true;
    return false;
}

std::optional<std::string> EngineProcess::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const std::size_t end = buffer.find('\n');
        if (end != std::string::npos) {
            const std::size_t length = crlfLines && end > 0 && buffer[end - 1] == '\r' ? end - 1 : end;
            std::string line = buffer.substr(0, length);
            buffer.erase(0, end + 1);
            return line;
        }
        if (!fillBuffer(deadline)) {
            if (!outputEnded || buffer.empty()) return std::nullopt;
            return std::exchange(buffer, {});
        }
    }
}

std::string EngineProcess::pendingText(std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (fillBuffer(deadline)) {}
    return buffer;
}
