#include <emscripten/emscripten.h>

#include <cstddef>

#include "platform/input_queue.h"

namespace {

// The module's memory is fixed and the table takes half of it. A line is
// copied a few times while it is read and parsed, and each move of a
// position line keeps an undo record, so the longest line the module holds
// is kept far below what is left: 1 MiB, some 200,000 moves, many times the
// longest game.
constexpr std::size_t LONGEST_LINE_BYTES = std::size_t{1} << 20;

}  // namespace

// In a browser or under node the engine has no standard input to block on:
// the page (or the script) hands it bytes through marrowby_input.
InputQueue& standardInputQueue() {
    static InputQueue* const queue = new InputQueue(LONGEST_LINE_BYTES);
    return *queue;
}

// Bytes to read as input, any bytes, lines with their line ends. Answers how
// many bytes of whole lines wait to be read: a host that is handed input
// faster than the engine reads it holds it back while they are many.
extern "C" EMSCRIPTEN_KEEPALIVE std::size_t marrowby_input(const char* bytes, std::size_t length) {
    return standardInputQueue().deliver({bytes, length});
}

// The end of input.
extern "C" EMSCRIPTEN_KEEPALIVE void marrowby_input_end() { standardInputQueue().close(); }
