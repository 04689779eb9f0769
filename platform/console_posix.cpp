#include "platform/console.h"

// Terminals on these systems, and the browser page, take UTF-8 as it is.
void prepareConsole() {}
