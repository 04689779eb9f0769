#include <windows.h>

#include <thread>

#include "platform/input_queue.h"

// Windows cannot wait on a pipe or a console together with an event in one
// call, so a thread of its own blocks on standard input and hands what it
// reads to the queue. ReadFile reads a pipe, a redirected file and a console
// alike (a console a line at a time, its CRLF line end trimmed by the line
// reader). The queue outlives the engine's objects: the thread is still
// blocked in ReadFile when the engine quits.
InputQueue& standardInputQueue() {
    static InputQueue* const queue = [] {
        auto* created = new InputQueue;
        std::thread([created] {
            const HANDLE handle = ::GetStdHandle(STD_INPUT_HANDLE);
            char chunk[4096];
            DWORD count = 0;
            while (::ReadFile(handle, chunk, sizeof chunk, &count, nullptr) && count > 0)
                created->deliver({chunk, count});
            created->close();
        }).detach();
        return created;
    }();
    return *queue;
}
