#include <emscripten/emscripten.h>

#include "platform/input_queue.h"

// In a browser or under node the engine has no standard input to block on:
// the page (or the script) hands it text through marrowby_input.
InputQueue& standardInputQueue() {
    static InputQueue* const queue = new InputQueue;
    return *queue;
}

// Text to read as input, lines with their line ends; a null pointer ends the
// input.
extern "C" EMSCRIPTEN_KEEPALIVE void marrowby_input(const char* text) {
    if (text == nullptr)
        standardInputQueue().close();
    else
        standardInputQueue().deliver(text);
}
