#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "platform/input_queue.h"

namespace {

// The reader gets whole lines, ended by LF or CR, and the unended last one
// after the end of input. A line longer than the queue holds comes as an
// empty line with its own line end, after an info string, once the lines
// before it have been read.
TEST(InputQueue, HandsOutWholeLinesAndSkipsTooLongOnes) {
    constexpr std::size_t LONGEST_LINE = 4;
    InputQueue queue(LONGEST_LINE);
    std::ostringstream shown;
    std::streambuf* const standardOutput = std::cout.rdbuf(shown.rdbuf());

    EXPECT_EQ(queue.deliver({"ab\ncd\0", 6}), 3U);
    EXPECT_EQ(queue.deliver("efgh"), 3U);
    EXPECT_EQ(queue.deliver("i\rwxyz\r\nuvw"), 10U);
    queue.close();
    const char* const reads[] = {"ab\n", "\rwxyz\r\nuvw"};
    for (const char* expected : reads) {
        std::string buffer;
        EXPECT_TRUE(queue.read(buffer));
        EXPECT_EQ(buffer, expected);
        EXPECT_EQ(shown.str(), buffer[0] == '\r'
                                   ? "info string skipped a line of 8 bytes: the engine reads lines of up to 4 bytes\n"
                                   : "");
    }
    std::string buffer;
    EXPECT_FALSE(queue.read(buffer));

    std::cout.rdbuf(standardOutput);
}

}  // namespace
