#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// The engine under test: the marrowby binary of this build, or the command
// in the environment variable MARROWBY_ENGINE (words split at spaces, the
// first one a path), for example "/usr/bin/wine build/windows/marrowby.exe",
// so that the same tests drive a build for another system under its runner.
[[nodiscard]] std::vector<std::string> engineCommand();

// The engine under test (or another program given with its arguments),
// started with pipes on its standard input and output, for protocol tests and
// the bench's start-up figures.
class EngineProcess {
public:
    explicit EngineProcess(const std::vector<std::string>& command = engineCommand());
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    // Writes text exactly as given (add the newline yourself).
    void write(const std::string& text);
    // Closes the engine's standard input: end of input.
    void closeInput();
    // The next output line without its newline, or nothing after the
    // timeout. Once the engine's output has ended, the unterminated rest.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Waits that long for more output, then hands out everything not yet
    // read as a line (a prompt, say).
    std::string pendingText(std::chrono::milliseconds wait);
    // Waits for the process to end; its exit status, or -1 on a timeout or a signal.
    int waitExit(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // The process's peak resident memory in KiB, once waitExit has seen it end.
    [[nodiscard]] long peakMemoryKiB() const { return peakKiB; }

private:
    bool fillBuffer(std::chrono::steady_clock::time_point deadline);

    int pid = -1;
    int toEngine = -1;
    int fromEngine = -1;
    std::string buffer;
    bool outputEnded = false;
    long peakKiB = 0;
};
