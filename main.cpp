#include <cstdlib>
#include <iostream>
#include <memory>
#include <new>
#include <string_view>
#include <system_error>

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

// The exit status of a command line the engine does not understand.
constexpr int USAGE_ERROR_STATUS = 2;
// The exit status when the engine cannot get the memory it needs to start.
constexpr int NO_MEMORY_STATUS = 1;

// Says in one line on standard error what the engine could not get.
int reportMemoryShortage() {
    constexpr std::size_t BYTES_PER_MIB = std::size_t{1} << 20;
    const std::size_t mebibytes = (Search::tableBytes() + BYTES_PER_MIB - 1) / BYTES_PER_MIB;
    std::cerr << "marrowby: not enough memory: the engine needs " << mebibytes
              << " MiB for its tables and more for its search thread, and could not get them" << std::endl;
    return NO_MEMORY_STATUS;
}

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
    // Interfaces start the engine without arguments; any other is a mistake
    // the usage answers.
    if (argc >= 2) {
        std::cerr << USAGE;
        return USAGE_ERROR_STATUS;
    }

    LineReader input;
    std::unique_ptr<UCI> engine;
    try {
        engine = std::make_unique<UCI>(input, [&input](const Board& position) { return Game(position, input).run(); });
    } catch (const std::bad_alloc&) {
        return reportMemoryShortage();
    } catch (const std::system_error&) {
        // Without memory for its stack the system gives no thread.
        return reportMemoryShortage();
    }
    engine->run();
    return 0;
}
