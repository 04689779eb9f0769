#include "platform/input_queue.h"

#include <iostream>
#include <optional>

namespace {

constexpr std::string_view LINE_ENDS = "\r\n";

}  // namespace

std::size_t InputQueue::deliver(std::string_view bytes) {
    std::size_t waiting = 0;
    {
        const std::lock_guard<std::mutex> held(lock);
        for (;;) {
            const std::size_t end = bytes.find_first_of(LINE_ENDS);
            const std::string_view piece = bytes.substr(0, end);
            partialLength += piece.size();
            if (partialLength <= longestLine)
                partial.append(piece);
            else
                partial.clear();
            if (end == std::string_view::npos) break;
            endLine(bytes[end]);
            bytes.remove_prefix(end + 1);
        }
        waiting = pending.size();
    }
    changed.notify_all();
    return waiting;
}

void InputQueue::endLine(char lineEnd) {
    if (partialLength > longestLine)
        dropped.push_back({readCount + pending.size(), partialLength});
    else
        pending += partial;
    pending += lineEnd;
    partial.clear();
    partialLength = 0;
}

void InputQueue::close() {
    {
        const std::lock_guard<std::mutex> held(lock);
        // The last line may lack its line end; a dropped one still gets its
        // stand-in.
        if (partialLength > longestLine) {
            endLine('\n');
        } else {
            pending += partial;
            partial.clear();
            partialLength = 0;
        }
        closed = true;
    }
    changed.notify_all();
}

bool InputQueue::read(std::string& buffer) {
    std::optional<std::size_t> droppedLength;
    {
        std::unique_lock<std::mutex> held(lock);
        changed.wait(held, [this] { return !pending.empty() || closed; });
        if (pending.empty()) return false;
        // A dropped line's stand-in goes out first of its read, so that its
        // info string shows once the lines before it have been read.
        if (!dropped.empty() && dropped.front().at == readCount) {
            droppedLength = dropped.front().length;
            dropped.pop_front();
        }
        const std::size_t count = dropped.empty() ? pending.size() : dropped.front().at - readCount;
        buffer.append(pending, 0, count);
        pending.erase(0, count);
        readCount += count;
    }
    // Written without the lock: the host that delivers input may be the
    // thread that carries this output.
    if (droppedLength)
        std::cout << "info string skipped a line of " << *droppedLength << " bytes: the engine reads lines of up to "
                  << longestLine << " bytes" << std::endl;
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
