#include "platform/input_queue.h"

void InputQueue::deliver(std::string_view bytes) {
    {
        const std::lock_guard<std::mutex> held(lock);
        pending.append(bytes);
    }
    changed.notify_all();
}

void InputQueue::close() {
    {
        const std::lock_guard<std::mutex> held(lock);
        closed = true;
    }
    changed.notify_all();
}

bool InputQueue::read(std::string& buffer) {
    std::unique_lock<std::mutex> held(lock);
    changed.wait(held, [this] { return !pending.empty() || closed; });
    if (pending.empty()) return false;
    buffer.append(pending);
    pending.clear();
    return true;
}

bool InputQueue::waitForInput(bool watchInput) {
    std::unique_lock<std::mutex> held(lock);
    changed.wait(held, [this, watchInput] { return woken || (watchInput && (!pending.empty() || closed)); });
    if (!woken) return true;
    woken = false;
    return false;
}

void InputQueue::wake() {
    {
        const std::lock_guard<std::mutex> held(lock);
        woken = true;
    }
    changed.notify_all();
}
