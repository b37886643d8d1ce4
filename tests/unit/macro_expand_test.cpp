#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "macro/expand_macros.h"
#include "macro_testing.h"

namespace {

using macro_testing::ExampleInstant;
using macro_testing::Launch;
using macro_testing::RecordingLauncher;
using pikora::ExpandMacros;
using pikora::LocalTime;

const std::string kOpen = "<pikoraMACRO>";
const std::string kClose = "</pikoraMACRO>";

std::string Block(const std::string& inner) {
    return kOpen + inner + kClose;
}

LocalTime At(int hour, int minute) {
    LocalTime t = ExampleInstant();
    t.hour = hour;
    t.minute = minute;
    return t;
}

std::string Expand(const std::string& text, const LocalTime& now = ExampleInstant()) {
    RecordingLauncher launcher;
    std::string out = ExpandMacros(text, now, launcher);
    EXPECT_TRUE(launcher.calls.empty()) << "unexpected launch for " << text;
    return out;
}

struct Expanded {
    std::string text;
    std::vector<Launch> calls;
};

Expanded ExpandWithLaunches(const std::string& text) {
    RecordingLauncher launcher;
    std::string out = ExpandMacros(text, ExampleInstant(), launcher);
    return {out, launcher.calls};
}

TEST(ExpandMacros, KeywordsAreReplacedInTableOrder) {
    EXPECT_EQ(Expand(Block("$Y|$y|$WH|$MM|$M|$D|$ddd|$dd|$d|$H|$h|$m|$s|$ampm|$AMPM")),
              "2001|01|13|Mar|03|06|TuesDay|Tue|火|14|02|05|09|午後|PM");
    // Case decides the keyword.
    EXPECT_EQ(Expand(Block("$m$M$d$D$h$H$y$Y")), "0503火060214012001");
    // The longer keyword wins where two share a start.
    EXPECT_EQ(Expand(Block("$MMM")), "MarM");
    EXPECT_EQ(Expand(Block("$dddd")), "TuesDayd");
    EXPECT_EQ(Expand(Block("$ampmAMPM")), "午後AMPM");
    // A '$' before a keyword joins its value into a later keyword.
    EXPECT_EQ(Expand(Block("$$MM")), "03ar");
    LocalTime december = ExampleInstant();
    december.month0 = 11;
    december.mday = 24;
    EXPECT_EQ(Expand(Block("$$MM"), december), "24ec");
    EXPECT_EQ(Expand(Block("$$$MM")), "$03ar");
    EXPECT_EQ(Expand(Block("$$Y $$ddd")), "$2001 $TuesDay");
    // Not keywords.
    EXPECT_EQ(Expand(Block("$ $x $W $a $AM $")), "$ $x $W $a $AM $");
    // One instant for the whole call.
    EXPECT_EQ(Expand(Block("$s") + "-" + Block("$s $s")), "09-09 09");
}

TEST(ExpandMacros, OnlyTextInsideBlocksChanges) {
    EXPECT_EQ(Expand("$Y/$M/$D $SHELL<x>$SHELL"), "$Y/$M/$D $SHELL<x>$SHELL");
    EXPECT_EQ(Expand("Date: " + Block("$Y/$M/$D") + " ($Y)"), "Date: 2001/03/06 ($Y)");
    EXPECT_EQ(Expand(Block("$H") + " and " + Block("$m") + "."), "14 and 05.");
    // No closing tag: the block runs to the end.
    EXPECT_EQ(Expand("a" + kOpen + "$H"), "a14");
    EXPECT_EQ(Expand("a" + kOpen), "a");
    // A nested opening tag disappears; the block ends at the first closing tag.
    EXPECT_EQ(Expand(kOpen + "x" + kOpen + "$D" + kClose + "y" + kClose), "x06y" + kClose);
    // A closing tag with no opening tag before it stays.
    EXPECT_EQ(Expand("a" + kClose + "b"), "a" + kClose + "b");
    EXPECT_EQ(Expand(kClose + Block("$s") + kClose), kClose + "09" + kClose);
    EXPECT_EQ(Expand(Block("")), "");
    // Tags must match exactly.
    EXPECT_EQ(Expand("<PIKORAmacro>$Y</PIKORAmacro>"), "<PIKORAmacro>$Y</PIKORAmacro>");
    EXPECT_EQ(Expand("<pikoraMACRO $Y</pikoraMACRO>"), "<pikoraMACRO $Y</pikoraMACRO>");
}

TEST(ExpandMacros, TwelveHourDialAndHalfDayMarkers) {
    const std::string block = Block("$h $AMPM $ampm");
    EXPECT_EQ(Expand(block, At(0, 30)), "00 AM 午前");
    EXPECT_EQ(Expand(block, At(11, 59)), "11 AM 午前");
    EXPECT_EQ(Expand(block, At(12, 30)), "00 PM 午後");
    EXPECT_EQ(Expand(block, At(13, 0)), "01 PM 午後");
    EXPECT_EQ(Expand(block, At(23, 59)), "11 PM 午後");
    EXPECT_EQ(Expand(Block("$H:$m"), At(0, 30)), "00:30");
}

TEST(ExpandMacros, YearsAndPadding) {
    LocalTime t = ExampleInstant();
    EXPECT_EQ(Expand(Block("$Y $y $WH"), t), "2001 01 13");
    t.year = 2019;
    EXPECT_EQ(Expand(Block("$Y $y $WH"), t), "2019 19 31");
    // printf's "%02d" and "%04d": padded to a minimum width, sign included.
    t.year = 1999;
    EXPECT_EQ(Expand(Block("$y"), t), "-1");
    t.year = 995;
    EXPECT_EQ(Expand(Block("$Y"), t), "0995");
    t.year = 12345;
    EXPECT_EQ(Expand(Block("$Y"), t), "12345");
    t = ExampleInstant();
    t.month0 = 9;
    t.mday = 31;
    t.wday = 6;
    EXPECT_EQ(Expand(Block("$M/$D $MM $ddd $dd $d"), t), "10/31 Oct SaturDay Sat 土");
}

TEST(ExpandMacros, LaunchMacrosRunDocumentsFirstAndLeaveNoText) {
    Expanded r = ExpandWithLaunches(Block("$SHELL<a.exe>$SHELL$RELATE<b.txt>$RELATE"));
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.calls, (std::vector<Launch>{{'D', "b.txt"}, {'P', "a.exe"}}));

    r = ExpandWithLaunches(Block("x$RELATE<one>$RELATEy$RELATE<two>$RELATEz"));
    EXPECT_EQ(r.text, "xyz");
    EXPECT_EQ(r.calls, (std::vector<Launch>{{'D', "one"}, {'D', "two"}}));

    // Keywords are replaced before anything is launched.
    r = ExpandWithLaunches(Block("$SHELL<notepad $Y$M$D.txt>$SHELL"));
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.calls, (std::vector<Launch>{{'P', "notepad 20010306.txt"}}));

    // An empty argument launches nothing.
    r = ExpandWithLaunches(Block("a$RELATE<>$RELATEb$SHELL<>$SHELLc"));
    EXPECT_EQ(r.text, "abc");
    EXPECT_TRUE(r.calls.empty());

    // A missing closer takes the rest of the working copy.
    r = ExpandWithLaunches(Block("x$RELATE<readme.txt"));
    EXPECT_EQ(r.text, "x");
    EXPECT_EQ(r.calls, (std::vector<Launch>{{'D', "readme.txt"}}));
    r = ExpandWithLaunches("y" + kOpen + "$SHELL<calc $H");
    EXPECT_EQ(r.text, "y");
    EXPECT_EQ(r.calls, (std::vector<Launch>{{'P', "calc 14"}}));

    // The document template with a real name pastes as the blank before its closing tag.
    r = ExpandWithLaunches("[" + Block("$RELATE<C:\\memo.txt>$RELATE ") + "]");
    EXPECT_EQ(r.text, "[ ]");
    EXPECT_EQ(r.calls, (std::vector<Launch>{{'D', "C:\\memo.txt"}}));

    // Blocks run in text order, each with its documents first.
    r = ExpandWithLaunches(Block("$SHELL<p1>$SHELL") + "-" +
                           Block("$SHELL<p2>$SHELL$RELATE<d2>$RELATE"));
    EXPECT_EQ(r.text, "-");
    EXPECT_EQ(r.calls, (std::vector<Launch>{{'P', "p1"}, {'D', "d2"}, {'P', "p2"}}));

    // A closer belongs to its own kind of macro.
    r = ExpandWithLaunches(Block("$RELATE<a>$SHELL b>$RELATE"));
    EXPECT_EQ(r.calls, (std::vector<Launch>{{'D', "a>$SHELL b"}}));
}

TEST(ExpandMacros, IdenticalBlocksShareOneExpansion) {
    const std::string block = Block("$SHELL<prog.exe>$SHELL[$s]");
    Expanded r = ExpandWithLaunches(block + " - " + block + " - " + block);
    EXPECT_EQ(r.text, "[09] - [09] - [09]");
    EXPECT_EQ(r.calls, (std::vector<Launch>{{'P', "prog.exe"}}));

    // Blocks that differ by one byte are expanded, and launched, one by one.
    r = ExpandWithLaunches(block + Block("$SHELL<prog.exe>$SHELL[$s] "));
    EXPECT_EQ(r.text, "[09][09] ");
    EXPECT_EQ(r.calls, (std::vector<Launch>{{'P', "prog.exe"}, {'P', "prog.exe"}}));

    // Copies are replaced in the whole text at once, before the next block is
    // looked for: here a copy's closing tag is no longer there to end the
    // second block.
    const std::string day = Block("$D");
    EXPECT_EQ(Expand(day + kOpen + "x" + day + "y" + kClose + "z"), "06x06yz");
}

TEST(ExpandMacros, TextPutTogetherByAnExpansionIsSearchedAgain) {
    // Removing the launch macro joins "<pikora" and "MACRO>" into an opening
    // tag, whose block runs to the end.
    Expanded r = ExpandWithLaunches("<pikora" + Block("$RELATE<a>$RELATE") + "MACRO>$Y");
    EXPECT_EQ(r.text, "2001");
    EXPECT_EQ(r.calls, (std::vector<Launch>{{'D', "a"}}));
    // The same after text that is already done.
    r = ExpandWithLaunches(Block("$H") + "<pikora" + Block("$RELATE<a>$RELATE") + "MACRO>$Y");
    EXPECT_EQ(r.text, "142001");
    // A joined opener inside a block is run as well.
    r = ExpandWithLaunches(Block("$REL$RELATE<x>$RELATEATE<y>$RELATE"));
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.calls, (std::vector<Launch>{{'D', "x"}, {'D', "y"}}));
    // A closing tag put together inside an expansion is plain text.
    EXPECT_EQ(Expand(Block("a</pikora$RELATE<>$RELATEMACRO>b")), "a" + kClose + "b");
    // An expansion that holds two copies of a block (put together once the
    // empty program macros are gone): they and a later copy share one
    // expansion, and the document opens once.
    const std::string madeBlock =
        "<pikora$SHELL<>$SHELLMACRO>$REL$SHELL<>$SHELLATE<doc>$RELATE."
        "</pikora$SHELL<>$SHELLMACRO>";
    const std::string copy = Block("$RELATE<doc>$RELATE.");
    r = ExpandWithLaunches(Block(madeBlock + "|" + madeBlock) + "-" + copy);
    EXPECT_EQ(r.text, ".|.-.");
    EXPECT_EQ(r.calls, (std::vector<Launch>{{'D', "doc"}}));
}

TEST(ExpandMacros, SearchesStepOverDoubleByteCharacters) {
    EXPECT_EQ(Expand("漢字" + Block("$d曜日") + "表示"), "漢字火曜日表示");
    // 0x83 0x5C: a trail byte that is a backslash.
    EXPECT_EQ(Expand("ソ" + Block("ソ$Yソ") + "ソ"), "ソソ2001ソソ");
    // 0x81 0x24: the '$' is the second byte of a character and starts no keyword.
    EXPECT_EQ(Expand(Block("\x81$Y")), "\x81$Y");
    EXPECT_EQ(Expand(Block("\x81\x81$Y")),
              "\x81\x81"
              "2001");
    EXPECT_EQ(Expand(Block("\x81$$Y")), "\x81$2001");
    EXPECT_EQ(Expand(Block("\x81$$MM")), "\x81$Mar");
    // A lead byte right before '<' takes it: no tag begins there.
    EXPECT_EQ(Expand("\x81" + Block("$Y")), "\x81" + Block("$Y"));
    EXPECT_EQ(Expand("\x81\x81" + Block("$Y")),
              "\x81\x81"
              "2001");
    // ... and no closing tag.
    EXPECT_EQ(Expand(kOpen + "$Y\x81" + kClose + "$D" + kClose), "2001\x81" + kClose + "06");
    // ... nor a closer of a launch macro.
    Expanded r = ExpandWithLaunches(Block("$RELATE<\x81>$RELATE"));
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.calls, (std::vector<Launch>{{'D', "\x81>$RELATE"}}));
}

TEST(ExpandMacros, LargeTextsStayFast) {
    const auto started = std::chrono::steady_clock::now();

    std::string plain;
    while (plain.size() < 100 * 1024) {
        plain += "$Y <pikora /pikoraMACRO> 漢字 ";
    }
    EXPECT_EQ(Expand(plain), plain);

    // Many different blocks, and many copies of one block.
    std::string text;
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        text += Block("$D#" + std::to_string(i)) + Block("$SHELL<once>$SHELL") + "\n";
        expected += "06#" + std::to_string(i) + "\n";
    }
    Expanded r = ExpandWithLaunches(text);
    EXPECT_EQ(r.text, expected);
    EXPECT_EQ(r.calls, (std::vector<Launch>{{'P', "once"}}));

    // Different blocks, then the same ones again: each launches once.
    text.clear();
    expected.clear();
    std::vector<Launch> launches;
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 1000; ++i) {
            const std::string n = std::to_string(i);
            text += Block("$D#" + n + "$SHELL<p" + n + ">$SHELL") + "\n";
            expected += "06#" + n + "\n";
            if (round == 0) {
                launches.push_back({'P', "p" + n});
            }
        }
    }
    r = ExpandWithLaunches(text);
    EXPECT_EQ(r.text, expected);
    EXPECT_EQ(r.calls, launches);

    // Many blocks that grow when expanded.
    std::string growing;
    std::string twelveDays;
    for (int i = 0; i < 12; ++i) {
        twelveDays += "TuesDay";
    }
    for (int i = 0; i < 20000; ++i) {
        growing += Block("$ddd$ddd$ddd$ddd$ddd$ddd$ddd$ddd$ddd$ddd$ddd$ddd" + std::to_string(i));
    }
    const std::string grown = Expand(growing);
    EXPECT_EQ(grown.substr(0, 85), twelveDays + "0");
    EXPECT_EQ(grown.substr(grown.size() - 89), twelveDays + "19999");
    EXPECT_EQ(grown.size(), 20000 * 84 + 88890u);

    // Expanding by rescanning the rest of the text for every block would take
    // minutes here.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

}  // namespace
