#include <windows.h>

#include "platform/console.h"

// A Windows console shows the bytes it is written in its output code page,
// by default an 8-bit one. The engine writes lines through the C runtime's
// text mode, so they end in CRLF as Windows programs' lines do and as the
// interfaces and tools there expect; every UCI interface reads them.
void prepareConsole() { ::SetConsoleOutputCP(CP_UTF8); }
