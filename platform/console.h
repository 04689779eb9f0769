#pragma once

// Sets up standard output before the engine writes to it: where the system's
// console does not take UTF-8 by default, it is switched to it, so that the
// board diagram's pieces show.
void prepareConsole();
