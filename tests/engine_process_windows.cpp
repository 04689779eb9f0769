#include <windows.h>
// After windows.h, whose types it uses.
#include <psapi.h>

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "tests/engine_process.h"

// Windows has no wait on a pipe with a timeout, so a thread of its own
// blocks reading the program's output and hands it over.
struct EngineProcess::Process {
    PROCESS_INFORMATION info{};
    HANDLE toEngine = nullptr;
    HANDLE fromEngine = nullptr;
    std::mutex lock;
    std::condition_variable arrived;
    std::string received;
    bool ended = false;
    std::thread reader;

    void readOutput() {
        char chunk[4096];
        DWORD count = 0;
        while (::ReadFile(fromEngine, chunk, sizeof chunk, &count, nullptr) && count > 0) {
            const std::lock_guard<std::mutex> held(lock);
            received.append(chunk, count);
            arrived.notify_all();
        }
        const std::lock_guard<std::mutex> held(lock);
        ended = true;
        arrived.notify_all();
    }
};

namespace {

constexpr std::size_t BYTES_PER_KIB = 1024;

}  // namespace

bool EngineProcess::canLimitMemory() { return false; }

EngineProcess::EngineProcess(const std::vector<std::string>& command, const StartOptions& options)
    : process(std::make_unique<Process>()), crlfLines(endsLinesInCrlf(command)) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE inputRead = nullptr, outputWrite = nullptr;
    if (!::CreatePipe(&inputRead, &process->toEngine, &inherited, 0) ||
        !::CreatePipe(&process->fromEngine, &outputWrite, &inherited, 0))
        throw std::runtime_error("CreatePipe failed");
    ::SetHandleInformation(process->toEngine, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(process->fromEngine, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inputRead;
    startup.hStdOutput = outputWrite;
    startup.hStdError = options.errorsToOutput ? outputWrite : ::GetStdHandle(STD_ERROR_HANDLE);
    // The words are paths and plain arguments, none with a quote in it.
    std::string line;
    for (const std::string& word : command) line += (line.empty() ? "\"" : " \"") + word + "\"";
    const BOOL started =
        ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process->info);
    ::CloseHandle(inputRead);
    ::CloseHandle(outputWrite);
    if (!started) throw std::runtime_error("CreateProcess failed: " + line);
    process->reader = std::thread(&Process::readOutput, process.get());
}

EngineProcess::~EngineProcess() {
    closeInput();
    if (process->info.hProcess != nullptr && waitExit(std::chrono::seconds(2)) == -1 &&
        process->info.hProcess != nullptr) {
        ::TerminateProcess(process->info.hProcess, 1);
        waitExit();
    }
    process->reader.join();
    ::CloseHandle(process->fromEngine);
}

void EngineProcess::write(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD count = 0;
        if (!::WriteFile(process->toEngine, text.data() + done, static_cast<DWORD>(text.size() - done), &count,
                         nullptr) ||
            count == 0)
            throw std::runtime_error("write to engine failed");
        done += count;
    }
}

void EngineProcess::closeInput() {
    if (process->toEngine != nullptr) ::CloseHandle(process->toEngine);
    process->toEngine = nullptr;
}

bool EngineProcess::fillBuffer(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock<std::mutex> held(process->lock);
    process->arrived.wait_until(held, deadline, [this] { return !process->received.empty() || process->ended; });
    if (!process->received.empty()) {
        buffer += process->received;
        process->received.clear();
        return true;
    }
    outputEnded = process->ended;
    return false;
}

int EngineProcess::waitExit(std::chrono::milliseconds timeout) {
    const HANDLE handle = process->info.hProcess;
    if (handle == nullptr || ::WaitForSingleObject(handle, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return -1;
    DWORD status = 0;
    ::GetExitCodeProcess(handle, &status);
    PROCESS_MEMORY_COUNTERS counters{};
    if (::GetProcessMemoryInfo(handle, &counters, sizeof counters))
        peakKiB = static_cast<long>(counters.PeakWorkingSetSize / BYTES_PER_KIB);
    ::CloseHandle(process->info.hThread);
    ::CloseHandle(handle);
    process->info = {};
    return static_cast<int>(status);
}
