// ExpandMacros over recorded inputs: the fuzz seeds, the inputs of the unit
// tests (the random ones sampled) and a few thousand generated texts that mix
// blocks, cut and nested tags, copies, keywords and launch macros. Each must
// give the recorded text and launches, byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "macro/expand_macros.h"
#include "macro_testing.h"

namespace {

using macro_testing::Launch;

std::string Unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
        } else if (s[++i] == 'x') {
            out += static_cast<char>(std::strtol(s.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += s[i] == 'n' ? '\n' : s[i];
        }
    }
    return out;
}

struct Case {
    pikora::LocalTime now;
    std::string input;
    std::string expected;
    std::vector<Launch> launches;
};

void Check(const Case& c, int& checked) {
    macro_testing::RecordingLauncher launcher;
    EXPECT_EQ(pikora::ExpandMacros(c.input, c.now, launcher), c.expected)
        << "input: " << testing::PrintToString(c.input);
    EXPECT_EQ(launcher.calls, c.launches) << "input: " << testing::PrintToString(c.input);
    ++checked;
}

TEST(ExpandMacrosCorpus, GivesTheRecordedTextAndLaunches) {
    std::ifstream file(PIKORA_TEST_DATA_DIR "/expand_macros_corpus.txt");
    ASSERT_TRUE(file) << "corpus not found";
    int checked = 0;
    pikora::LocalTime now;
    Case c;
    bool pending = false;
    for (std::string line; std::getline(file, line);) {
        const std::string rest = line.size() > 2 ? line.substr(2) : "";
        if (line[0] == '@' || line[0] == '<') {
            if (pending) {
                Check(c, checked);
            }
            pending = line[0] == '<';
            c = {now, Unescape(rest), Unescape(rest), {}};
        }
        if (line[0] == '@') {
            std::istringstream(rest) >> now.year >> now.month0 >> now.mday >> now.wday >>
                now.hour >> now.minute >> now.second;
        } else if (line[0] == '>') {
            c.expected = Unescape(rest);
        } else if (line[0] == 'D' || line[0] == 'P') {
            c.launches.push_back({line[0], Unescape(rest)});
        }
    }
    if (pending) {
        Check(c, checked);
    }
    EXPECT_GT(checked, 2900);
}

}  // namespace
