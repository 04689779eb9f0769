#pragma once

// A pipe one thread writes to so that another, waiting on its read end
// together with other descriptors, wakes at once. Both ends never block.
class WakePipe {
public:
    WakePipe();
    ~WakePipe();
    WakePipe(const WakePipe&) = delete;
    WakePipe& operator=(const WakePipe&) = delete;

    // The end to wait on; -1 when the pipe could not be made.
    [[nodiscard]] int readFd() const { return readEnd; }
    void signal();
    // Empties the pipe, so that an old signal does not end a later wait.
    void drain();

private:
    int readEnd = -1;
    int writeEnd = -1;
};
