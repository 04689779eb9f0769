#include <unistd.h>

#include "console/game.h"
#include "core/line_reader.h"
#include "uci/uci.h"

int main() {
    LineReader input(STDIN_FILENO);
    UCI engine(input, [&input](const Board& position) { Game(position, input).run(); });
    engine.run();
    return 0;
}
