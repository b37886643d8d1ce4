#include "text/tray_tip.h"

#include <gtest/gtest.h>

#include <string>

namespace pikora {
namespace {

TEST(TrayTip, KeepsTheFirst63BytesOfALongText) {
    const std::string text(100, 'a');
    EXPECT_EQ(MakeTrayTip(text, true), std::string(63, 'a'));
    EXPECT_EQ(MakeTrayTip("short", true), "short");
    EXPECT_EQ(MakeTrayTip("", true), "");
}

TEST(TrayTip, TabsBecomeMiddleDotsOnlyWhenAsked) {
    EXPECT_EQ(MakeTrayTip("a\tb", true),
              "a\xA5"
              "b");
    // The tip set at start-up shows the clipboard text with its tabs as they are.
    EXPECT_EQ(MakeTrayTip("a\tb", false), "a\tb");
}

TEST(TrayTip, NeverEndsOnHalfADoubleByteCharacter) {
    // 62 ASCII bytes and then "あ" (0x82 0xA0): the 63-byte cut would split it.
    const std::string text = std::string(62, 'x') + "\x82\xA0" + "tail";
    EXPECT_EQ(MakeTrayTip(text, true), std::string(62, 'x'));
    // A character ending exactly at byte 63 stays whole.
    const std::string fits = std::string(61, 'x') + "\x82\xA0" + "tail";
    EXPECT_EQ(MakeTrayTip(fits, true), fits.substr(0, 63));
}

TEST(TrayTip, ReplacesATabRightAfterADoubleByteCharacter) {
    // "表" is 0x95 0x5C: the trail byte is a backslash, not touched; a real tab
    // right after a double-byte character is still replaced.
    EXPECT_EQ(MakeTrayTip("\x95\x5C\t", true), "\x95\x5C\xA5");
}

}  // namespace
}  // namespace pikora
