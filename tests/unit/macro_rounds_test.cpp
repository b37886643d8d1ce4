// ExpandMacros where a round meets what earlier rounds left further on: a
// copy completed by another copy's expansion, and a chain of joined tags
// whose blocks launch alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "macro/expand_macros.h"
#include "macro_testing.h"

namespace {

using macro_testing::Launch;
using macro_testing::RecordingLauncher;

const std::string kOpen = "<pikoraMACRO>";
const std::string kClose = "</pikoraMACRO>";

// The first round puts "MACRO>2001/" after "</pikora" near the end, which
// closes a copy of the second round's block there.
TEST(ExpandMacrosRounds, AnExpansionFurtherOnCanCloseACopyOfALaterBlock) {
    const std::string first = kOpen + "MACRO>$Y/" + kClose;
    const std::string second = kOpen + "$Y/" + kClose;
    RecordingLauncher launcher;
    EXPECT_EQ(pikora::ExpandMacros(first + second + kOpen + kOpen + "$Y/</pikora" + first + "$Y",
                                   macro_testing::ExampleInstant(), launcher),
              "MACRO>2001/2001/2001/2001/2001");
}

// Each removal joins a new tag in front of the same long expansion, and each
// of those blocks ends with the same launch: each is a round of its own.
TEST(ExpandMacrosRounds, EveryBlockOfAChainOfJoinedTagsLaunches) {
    std::string text =
        "<pikora<pikora<pikora" + kOpen + kClose + "MACRO>MACRO>MACRO>" + std::string(100, 'w');
    for (int i = 0; i < 3; ++i) {
        text += "$SHELL<p>$SHELL" + kClose;
    }
    RecordingLauncher launcher;
    EXPECT_EQ(pikora::ExpandMacros(text, macro_testing::ExampleInstant(), launcher),
              std::string(100, 'w'));
    EXPECT_EQ(launcher.calls, (std::vector<Launch>{{'P', "p"}, {'P', "p"}, {'P', "p"}}));
}

// The second block's expansion ends with a closing tag short of its '>',
// which the third block, joined in front of it, completes from the one byte
// after it: the stretch of the expansion that is expanded again must reach
// back over the whole tag, whatever little follows.
TEST(ExpandMacrosRounds, AJoinedBlockEndsAtATagCompletedByTheByteAfterTheExpansion) {
    const std::string text = "<pikora<pikora" + kOpen + kClose + "MACRO>MACRO>" +
                             std::string(100, 'w') + "</pikoraMACRO" + kClose + ">";
    RecordingLauncher launcher;
    EXPECT_EQ(pikora::ExpandMacros(text, macro_testing::ExampleInstant(), launcher),
              std::string(100, 'w'));
}

// The third block, joined in front of the second one's expansion, holds a
// copy of the first and expands to nothing. A block of the same bytes that
// a tag joined across the place where it stood was no copy of it: its
// document opens again.
TEST(ExpandMacrosRounds, ABlockJoinedAcrossAnEmptyExpansionIsNoCopyOfIt) {
    const std::string copy = kOpen + "$SHELL<q>$SHELL" + kClose;
    const std::string document = "$RELATE<" + std::string(60, 'a') + ">$RELATE";
    const std::string text = copy + "<pik<pikora" + kOpen + "MACRO>$REL$SHELL<>$SHELLATE<" +
                             std::string(60, 'a') + ">$RELATE" + kClose + copy + kClose +
                             "oraMACRO>" + document + kClose;
    RecordingLauncher launcher;
    EXPECT_EQ(pikora::ExpandMacros(text, macro_testing::ExampleInstant(), launcher), "");
    const Launch open{'D', std::string(60, 'a')};
    EXPECT_EQ(launcher.calls, (std::vector<Launch>{{'P', "q"}, open, open}));
}

}  // namespace
