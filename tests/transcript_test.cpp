// Plays every file in tests/transcripts through the real binary over a pipe.
//
//   > line     sent to the engine (consecutive lines go together)
//   < line     the next line the engine must write; {*} stands for any word
//   ~ ms       the engine must write nothing for that many milliseconds
//   # text     a comment; blank lines are ignored
//
// The engine's input ends after the last line sent; it must exit with status
// 0 and write nothing beyond the lines listed. A last line without a line
// end (a prompt) is read as a line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>

#include "tests/engine_process.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> transcriptNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(MARROWBY_TRANSCRIPTS))
        if (entry.path().extension() == ".txt") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Whether line matches pattern: equal byte for byte, except that each {*}
// stands for a run of characters other than a space.
bool matches(const std::string& pattern, const std::string& line) {
    static const std::string WILDCARD = "{*}";
    std::string expression;
    for (std::size_t at = 0; at < pattern.size();) {
        if (pattern.compare(at, WILDCARD.size(), WILDCARD) == 0) {
            expression += "[^ ]+";
            at += WILDCARD.size();
            continue;
        }
        if (std::string_view("\\^$.|?*+()[]{}").find(pattern[at]) != std::string_view::npos) expression += '\\';
        expression += pattern[at++];
    }
    return std::regex_match(line, std::regex(expression));
}

class Transcript : public testing::TestWithParam<std::string> {};

TEST_P(Transcript, EngineAnswersExactly) {
    const std::string name = GetParam() + ".txt";
    std::ifstream file(std::string(MARROWBY_TRANSCRIPTS) + "/" + name);
    ASSERT_TRUE(file) << name;
    struct Step {
        char kind;
        std::string text;
        std::string where;
    };
    std::vector<Step> steps;
    int lineNumber = 0;
    for (std::string line; std::getline(file, line);) {
        const std::string where = name + ":" + std::to_string(++lineNumber);
        if (line.empty() || line[0] == '#') continue;
        ASSERT_TRUE(std::string_view("<>~").find(line[0]) != std::string_view::npos &&
                    (line.size() == 1 || line[1] == ' '))
            << where << ": a line starts with \">\", \"<\", \"~\" or \"#\"";
        steps.push_back({line[0], line.size() > 2 ? line.substr(2) : "", where});
    }
    const auto lastInput =
        std::find_if(steps.rbegin(), steps.rend(), [](const Step& step) { return step.kind == '>'; });
    const std::size_t inputEnd = steps.rend() - lastInput;

    EngineProcess engine;
    std::string batch;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        if (step.kind == '>') {
            batch += step.text + "\n";
            if (i + 1 < steps.size() && steps[i + 1].kind == '>') continue;
            engine.write(batch);
            batch.clear();
            // After the last line sent, the input ends.
            if (i + 1 == inputEnd) engine.closeInput();
        } else if (step.kind == '<') {
            const auto actual = engine.readLine(std::chrono::seconds(60));
            ASSERT_TRUE(actual) << step.where << ": no line, expected\n" << step.text;
            ASSERT_TRUE(matches(step.text, *actual))
                << step.where << ":\nexpected " << step.text << "\n     got " << *actual;
        } else {
            const std::string early = engine.pendingText(std::chrono::milliseconds(std::stoi(step.text)));
            ASSERT_EQ(early, "") << step.where << ": the engine wrote before it should";
        }
    }
    engine.closeInput();
    EXPECT_EQ(engine.waitExit(std::chrono::seconds(60)), 0) << name;
    EXPECT_EQ(engine.pendingText(std::chrono::milliseconds(100)), "") << name << ": more output than listed";
}

INSTANTIATE_TEST_SUITE_P(Files, Transcript, testing::ValuesIn(transcriptNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
