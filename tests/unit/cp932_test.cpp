#include <gtest/gtest.h>

#include <string>

#include "text/cp932.h"

namespace pikora {
namespace {

constexpr auto npos = std::string_view::npos;

TEST(Cp932, CharacterLengthsAndSafeCuts) {
    ASSERT_EQ(std::string("あ"), "\x82\xA0");
    EXPECT_TRUE(IsLeadByte(0x81));
    EXPECT_TRUE(IsLeadByte(0x9F));
    EXPECT_TRUE(IsLeadByte(0xE0));
    EXPECT_TRUE(IsLeadByte(0xFC));
    EXPECT_FALSE(IsLeadByte(0x80));
    EXPECT_FALSE(IsLeadByte(0xA0));
    EXPECT_FALSE(IsLeadByte(0xB1));  // half-width katakana
    EXPECT_FALSE(IsLeadByte(0xFD));
    EXPECT_FALSE(IsLeadByte('\\'));

    EXPECT_EQ(CharLength("aあ", 0), 1u);
    EXPECT_EQ(CharLength("aあ", 1), 2u);
    EXPECT_EQ(CharLength("a\x82", 1), 1u);  // a lead byte at the very end
    EXPECT_EQ(CharLength("ｱ", 0), 1u);

    EXPECT_EQ(SafeCutLength("aあb", 1), 1u);
    EXPECT_EQ(SafeCutLength("aあb", 2), 1u);
    EXPECT_EQ(SafeCutLength("aあb", 3), 3u);
    EXPECT_EQ(SafeCutLength("aあb", 10), 4u);
    EXPECT_EQ(SafeCutLength("あい", 3), 2u);
    EXPECT_EQ(SafeCutLength("ｱｲｳ", 2), 2u);
    EXPECT_EQ(SafeCutLength("", 5), 0u);
    EXPECT_EQ(SafeCutLength("あ", 0), 0u);
}

// The trail byte of a double-byte character may equal an ASCII character
// ('@' in the ideographic space 81 40, '\\' in 表 95 5C); a search for that
// ASCII character must never stop inside the double-byte one.
TEST(Cp932, FindStepsOverDoubleByteCharacters) {
    ASSERT_EQ(std::string("　"), "\x81@");
    EXPECT_EQ(Find("　", "@"), npos);
    EXPECT_EQ(Find("　@", "@"), 2u);
    EXPECT_EQ(Find("\x81$x$", "$"), 3u);  // a lead byte takes whatever follows as its trail
    EXPECT_EQ(Find("表\\", "\\"), 2u);
    EXPECT_EQ(Find("表示", "\\"), npos);
    EXPECT_EQ(Find("ソ\\ソ\\", "\\", 3), 5u);

    EXPECT_EQ(Find("abcabc", "bc"), 1u);
    EXPECT_EQ(Find("abcabc", "bc", 2), 4u);
    EXPECT_EQ(Find("abc", "abcd"), npos);
    EXPECT_EQ(Find("あいう", "いう"), 2u);
    // "\xA0\x82" appears at byte 1 of あい (82 A0 82 A2) only across two characters.
    EXPECT_EQ(Find("あい", "\xA0\x82"), npos);
    EXPECT_EQ(Find("abc", ""), 0u);
    EXPECT_EQ(Find("abc", "", 3), 3u);
    EXPECT_EQ(Find("abc", "", 4), npos);
    EXPECT_EQ(Find("", "a"), npos);
}

TEST(Cp932, ReplaceAllLeavesTrailBytesAlone) {
    EXPECT_EQ(ReplaceAll("a@b　@", "@", "[at]"), "a[at]b　[at]");
    EXPECT_EQ(ReplaceAll("表\\ソ", "\\", "/"), "表/ソ");
    EXPECT_EQ(ReplaceAll("\x81$$", "$", "D"), "\x81$D");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "X"), "Xa");
    EXPECT_EQ(ReplaceAll("abc", "", "X"), "abc");
    EXPECT_EQ(ReplaceAll("", "a", "X"), "");
    EXPECT_EQ(ReplaceAll("x%1y%1", "%1", "%1%1"), "x%1%1y%1%1");
    EXPECT_EQ(ReplaceAll("行\r\n行", "\r\n", "\r\n> "), "行\r\n> 行");
}

}  // namespace
}  // namespace pikora
