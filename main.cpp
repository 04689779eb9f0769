#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string_view>

#include "console/game.h"
#include "core/line_reader.h"
#include "search/bench.h"
#include "uci/uci.h"

int main(int argc, char** argv) {
    // "marrowby bench [depth]" runs the search bench and ends with the two
    // lines test frameworks read to check a build and scale its clocks.
    if (argc >= 2 && std::string_view(argv[1]) == "bench") {
        const int depth = argc >= 3 ? std::atoi(argv[2]) : 0;
        const BenchResult result = runSearchBench(depth, std::cout);
        std::cout << "Nodes searched: " << result.nodes << std::endl;
        std::cout << "Nodes/second: " << result.nodesPerSecond() << std::endl;
        return 0;
    }

    LineReader input(STDIN_FILENO);
    UCI engine(input, [&input](const Board& position) { Game(position, input).run(); });
    engine.run();
    return 0;
}
