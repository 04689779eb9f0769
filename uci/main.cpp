#include <unistd.h>

#include "uci/line_reader.h"
#include "uci/uci.h"

int main() {
    LineReader input(STDIN_FILENO);
    UCI engine(input);
    engine.run();
    return 0;
}
