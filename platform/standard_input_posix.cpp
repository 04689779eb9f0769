#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "platform/standard_input.h"

// The wake-up is a pipe: the waiting thread polls its read end together with
// standard input, and wake writes a byte to it. Both ends never block.
struct StandardInput::State {
    int wakeRead = -1;
    int wakeWrite = -1;

    State() {
        int ends[2];
        if (::pipe(ends) != 0) return;
        for (const int end : ends) {
            ::fcntl(end, F_SETFD, FD_CLOEXEC);
            ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
        }
        wakeRead = ends[0];
        wakeWrite = ends[1];
    }
    ~State() {
        if (wakeRead >= 0) ::close(wakeRead);
        if (wakeWrite >= 0) ::close(wakeWrite);
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    // Empties the pipe, so that one wake ends one wait.
    void drain() const {
        char chunk[64];
        while (::read(wakeRead, chunk, sizeof chunk) > 0) {}
    }
};

namespace {

// Without a pipe to wake on, how long a wait lasts.
constexpr int FALLBACK_WAIT_MS = 10;

}  // namespace

StandardInput::StandardInput() : state(std::make_unique<State>()) {}
StandardInput::~StandardInput() = default;
StandardInput::StandardInput(StandardInput&& other) noexcept = default;
StandardInput& StandardInput::operator=(StandardInput&& other) noexcept = default;

bool StandardInput::read(std::string& buffer) {
    char chunk[4096];
    for (;;) {
        const ssize_t count = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (count > 0) {
            buffer.append(chunk, static_cast<std::size_t>(count));
            return true;
        }
        if (count < 0 && errno == EINTR) continue;
        return false;
    }
}

StandardInput::Ready StandardInput::wait(bool watchInput) {
    for (;;) {
        pollfd watched[2] = {{watchInput ? STDIN_FILENO : -1, POLLIN, 0}, {state->wakeRead, POLLIN, 0}};
        const int ready = ::poll(watched, 2, state->wakeRead < 0 ? FALLBACK_WAIT_MS : -1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0 || (watched[1].revents & (POLLIN | POLLHUP)) != 0) {
            if (state->wakeRead >= 0) state->drain();
            return Ready::WOKEN;
        }
        if ((watched[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) != 0) return Ready::INPUT;
    }
}

void StandardInput::wake() {
    if (state->wakeWrite < 0) return;
    const char byte = 1;
    // A full pipe already holds a wake, so a failed write loses nothing.
    [[maybe_unused]] const auto written = ::write(state->wakeWrite, &byte, 1);
}
