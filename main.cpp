#include <cstdlib>
#include <iostream>
#include <string_view>

#include "console/game.h"
#include "core/line_reader.h"
#include "core/version.h"
#include "platform/console.h"
#include "search/bench.h"
#include "uci/uci.h"

namespace {

constexpr std::string_view USAGE =
    "Usage: marrowby [bench [DEPTH] | --help | --version]\n"
    "Without arguments Marrowby reads UCI commands on standard input and answers on standard output;\n"
    "chess interfaces start it so. See " MARROWBY_MANUAL
    " for the commands.\n"
    "  bench [DEPTH]  search a fixed list of positions (each to DEPTH when given) and end with\n"
    "                 the lines 'Nodes searched: N' and 'Nodes/second: N'\n"
    "  --help         print this help and exit\n"
    "  --version      print the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
    prepareConsole();
    const std::string_view firstArgument = argc >= 2 ? argv[1] : "";
    if (firstArgument == "--help") {
        std::cout << USAGE;
        return 0;
    }
    if (firstArgument == "--version") {
        std::cout << "Marrowby " << ENGINE_VERSION << std::endl;
        return 0;
    }
    // "marrowby bench [depth]" runs the search bench and ends with the two
    // lines test frameworks read to check a build and scale its clocks.
    if (firstArgument == "bench") {
        const int depth = argc >= 3 ? std::atoi(argv[2]) : 0;
        const BenchResult result = runSearchBench(depth, std::cout);
        std::cout << "Nodes searched: " << result.nodes << std::endl;
        std::cout << "Nodes/second: " << result.nodesPerSecond() << std::endl;
        return 0;
    }

    LineReader input;
    UCI engine(input, [&input](const Board& position) { Game(position, input).run(); });
    engine.run();
    return 0;
}
