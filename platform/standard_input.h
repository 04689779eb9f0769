#pragma once

#include <memory>
#include <string>

// Standard input as the engine reads it, and a wake-up with which another
// thread ends a wait for it. A chess interface or a match runner gives the
// engine a pipe, a person at a terminal a console, a script a file: each
// build reads all three.
class StandardInput {
public:
    StandardInput();
    ~StandardInput();
    StandardInput(StandardInput&& other) noexcept;
    StandardInput& operator=(StandardInput&& other) noexcept;

    // Blocks until bytes arrive and appends them to buffer; false at the end
    // of input.
    bool read(std::string& buffer);
    // What ended a wait.
    enum class Ready { INPUT, WOKEN };
    // Blocks until input waits to be read (its end counts), when watchInput,
    // or until wake is called. A wake sent before the wait ends it at once.
    [[nodiscard]] Ready wait(bool watchInput);
    // Ends the current wait, or the next one; safe from any thread.
    void wake();

private:
    struct State;
    std::unique_ptr<State> state;
};
