#include "core/wake_pipe.h"

#include <fcntl.h>
#include <unistd.h>

WakePipe::WakePipe() {
    int ends[2];
    if (::pipe(ends) != 0) return;
    for (const int end : ends) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
    }
    readEnd = ends[0];
    writeEnd = ends[1];
}

WakePipe::~WakePipe() {
    if (readEnd >= 0) ::close(readEnd);
    if (writeEnd >= 0) ::close(writeEnd);
}

void WakePipe::signal() {
    if (writeEnd < 0) return;
    const char byte = 1;
    // A full pipe already holds a signal, so a failed write loses nothing.
    [[maybe_unused]] const auto written = ::write(writeEnd, &byte, 1);
}

void WakePipe::drain() {
    if (readEnd < 0) return;
    char chunk[64];
    while (::read(readEnd, chunk, sizeof chunk) > 0) {}
}
