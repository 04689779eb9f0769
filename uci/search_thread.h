#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// The thread the searches run on, started once with the engine: a "go"
// neither waits for a thread to start nor finds that the system has none to
// give (a thread's stack is memory too).
class SearchThread {
public:
    // Starts the thread, which runs the job once for every call of run.
    // Throws std::system_error when the system gives no thread.
    explicit SearchThread(std::function<void()> job);
    // Ends the thread; no job may be running.
    ~SearchThread();
    SearchThread(const SearchThread&) = delete;
    SearchThread& operator=(const SearchThread&) = delete;

    // Runs the job on the thread; the run before has been waited for.
    void run();
    // Blocks until the job that run started has returned.
    void wait();

private:
    void serve();

    std::function<void()> job;
    std::mutex lock;
    std::condition_variable changed;
    bool running = false;
    bool ending = false;
    // Last, so that the thread starts once the members it uses exist.
    std::thread thread;
};
