#include "uci/search_thread.h"

#include <utility>

SearchThread::SearchThread(std::function<void()> job) : job(std::move(job)), thread([this] { serve(); }) {}

SearchThread::~SearchThread() {
    {
        const std::lock_guard<std::mutex> held(lock);
        ending = true;
    }
    changed.notify_all();
    thread.join();
}

void SearchThread::run() {
    {
        const std::lock_guard<std::mutex> held(lock);
        running = true;
    }
    changed.notify_all();
}

void SearchThread::wait() {
    std::unique_lock<std::mutex> held(lock);
    changed.wait(held, [this] { return !running; });
}

void SearchThread::serve() {
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
        changed.wait(held, [this] { return running || ending; });
        if (ending) return;
        held.unlock();
        job();
        held.lock();
        running = false;
        changed.notify_all();
    }
}
