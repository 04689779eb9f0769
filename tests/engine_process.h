#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The engine under test: the marrowby binary of this build, or the command
// in the environment variable MARROWBY_ENGINE (words split at spaces, the
// first one a path), for example "/usr/bin/wine build/windows/marrowby.exe",
// so that the same tests drive a build for another system under its runner.
[[nodiscard]] std::vector<std::string> engineCommand();

// How a process starts, beyond its command.
struct StartOptions {
    // Whether its standard error goes to the pipe of its standard output.
    bool errorsToOutput = false;
    // A limit of its address space in KiB, 0 for none; set only where
    // EngineProcess::canLimitMemory.
    long addressSpaceKiB = 0;
};

// The engine under test (or another program given with its arguments),
// started with pipes on its standard input and output, for protocol tests and
// the bench's start-up figures. The process control has a POSIX and a Windows
// backend; reading lines is shared.
class EngineProcess {
public:
    explicit EngineProcess(const std::vector<std::string>& command = engineCommand(), const StartOptions& options = {});
    // Whether this system limits the address space of a process it starts.
    [[nodiscard]] static bool canLimitMemory();
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    // Writes text exactly as given (add the newline yourself).
    void write(const std::string& text);
    // Closes the engine's standard input: end of input.
    void closeInput();
    // The next output line without its line end, or nothing after the
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
    // Whether the command starts a Windows program, whose lines end in CRLF.
    [[nodiscard]] static bool endsLinesInCrlf(const std::vector<std::string>& command);
    // Appends output that arrives before the deadline to buffer; false when
    // none did, with outputEnded set once the output has ended.
    bool fillBuffer(std::chrono::steady_clock::time_point deadline);

    // The process and the pipes to it, as the system knows them.
    struct Process;
    std::unique_ptr<Process> process;
    // Whether the program's lines end in CRLF, read as a line end.
    bool crlfLines;
    std::string buffer;
    bool outputEnded = false;
    long peakKiB = 0;
};
