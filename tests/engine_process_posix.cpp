#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "tests/engine_process.h"

namespace {

constexpr rlim_t BYTES_PER_KIB = 1024;

}  // namespace

struct EngineProcess::Process {
    int pid = -1;
    int toEngine = -1;
    int fromEngine = -1;
};

bool EngineProcess::canLimitMemory() { return true; }

EngineProcess::EngineProcess(const std::vector<std::string>& command, const StartOptions& options)
    : process(std::make_unique<Process>()), crlfLines(endsLinesInCrlf(command)) {
    std::vector<char*> arguments;
    for (const std::string& word : command) arguments.push_back(const_cast<char*>(word.c_str()));
    arguments.push_back(nullptr);
    int input[2], output[2];
    if (::pipe(input) != 0 || ::pipe(output) != 0) throw std::runtime_error("pipe failed");
    process->pid = ::fork();
    if (process->pid < 0) throw std::runtime_error("fork failed");
    if (process->pid == 0) {
        ::dup2(input[0], STDIN_FILENO);
        ::dup2(output[1], STDOUT_FILENO);
        if (options.errorsToOutput) ::dup2(output[1], STDERR_FILENO);
        if (options.addressSpaceKiB > 0) {
            const auto bytes = static_cast<rlim_t>(options.addressSpaceKiB) * BYTES_PER_KIB;
            const rlimit limit{bytes, bytes};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        ::close(input[0]);
        ::close(input[1]);
        ::close(output[0]);
        ::close(output[1]);
        ::execv(arguments[0], arguments.data());
        std::_Exit(127);
    }
    ::close(input[0]);
    ::close(output[1]);
    process->toEngine = input[1];
    process->fromEngine = output[0];
    ::signal(SIGPIPE, SIG_IGN);
}

EngineProcess::~EngineProcess() {
    closeInput();
    if (process->pid > 0 && waitExit(std::chrono::seconds(2)) == -1 && process->pid > 0) {
        ::kill(process->pid, SIGKILL);
        ::waitpid(process->pid, nullptr, 0);
    }
    if (process->fromEngine >= 0) ::close(process->fromEngine);
}

void EngineProcess::write(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t count = ::write(process->toEngine, text.data() + done, text.size() - done);
        if (count <= 0) throw std::runtime_error("write to engine failed");
        done += static_cast<std::size_t>(count);
    }
}

void EngineProcess::closeInput() {
    if (process->toEngine >= 0) ::close(process->toEngine);
    process->toEngine = -1;
}

bool EngineProcess::fillBuffer(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd request{process->fromEngine, POLLIN, 0};
    if (::poll(&request, 1, static_cast<int>(left.count())) <= 0) return false;
    char chunk[4096];
    const ssize_t count = ::read(process->fromEngine, chunk, sizeof chunk);
    if (count <= 0) {
        outputEnded = true;
        return false;
    }
    buffer.append(chunk, static_cast<std::size_t>(count));
    return true;
}

int EngineProcess::waitExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        rusage usage{};
        const pid_t done = ::wait4(process->pid, &status, WNOHANG, &usage);
        if (done == process->pid) {
            process->pid = -1;
            peakKiB = usage.ru_maxrss;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (std::chrono::steady_clock::now() >= deadline) return -1;
        ::usleep(1000);
    }
}
