#include "platform/input_queue.h"
#include "platform/standard_input.h"

// Standard input through the queue its feeder fills; the queue's condition
// carries the wake-up too.
struct StandardInput::State {
    InputQueue& queue;
};

StandardInput::StandardInput() : state(std::make_unique<State>(State{standardInputQueue()})) {}
StandardInput::~StandardInput() = default;
StandardInput::StandardInput(StandardInput&& other) noexcept = default;
StandardInput& StandardInput::operator=(StandardInput&& other) noexcept = default;

bool StandardInput::read(std::string& buffer) { return state->queue.read(buffer); }

StandardInput::Ready StandardInput::wait(bool watchInput) {
    return state->queue.waitForInput(watchInput) ? Ready::INPUT : Ready::WOKEN;
}

void StandardInput::wake() { state->queue.wake(); }
