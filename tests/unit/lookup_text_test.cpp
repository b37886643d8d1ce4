#include <gtest/gtest.h>

#include <string>

#include "text/lookup_text.h"

namespace pikora {
namespace {

constexpr char kDicCgi[] = "http://dictionary.example.jp/cgi-bin/dict_search.cgi";

TEST(LookupUrls, TheTextSitsBetweenTheFixedPartsOfEachAddress) {
    EXPECT_EQ(WebSearchUrl("Hello"),
              "http://search.goo.ne.jp/default.asp?MT=Hello&WTS=ntt&SM=MC&DE=2&DC=10");
    EXPECT_EQ(DictionaryUrl(kDicCgi, "hello", kDicEnJa),
              "http://dictionary.example.jp/cgi-bin/dict_search.cgi?MT=hello&sw=0");
    EXPECT_EQ(DictionaryUrl(kDicCgi, "Hello", kDicJaEn), std::string(kDicCgi) + "?MT=Hello&sw=1");
    EXPECT_EQ(DictionaryUrl(kDicCgi, "Hello", kDicJapanese),
              std::string(kDicCgi) + "?MT=Hello&sw=2");

    // An empty clipboard still opens the page, with an empty value.
    EXPECT_EQ(WebSearchUrl(""), "http://search.goo.ne.jp/default.asp?MT=&WTS=ntt&SM=MC&DE=2&DC=10");
    EXPECT_EQ(DictionaryUrl(kDicCgi, "", kDicEnJa), std::string(kDicCgi) + "?MT=&sw=0");
}

TEST(LookupUrls, DoubleByteTextTravelsAsItsOwnCodePage932Bytes) {
    ASSERT_EQ(std::string("日本語"), "\x93\xFA\x96\x7B\x8C\xEA");
    EXPECT_EQ(WebSearchUrl("日本語"), std::string("http://search.goo.ne.jp/default.asp?MT=") +
                                          "\x93\xFA\x96\x7B\x8C\xEA" + "&WTS=ntt&SM=MC&DE=2&DC=10");
    // Trail bytes that look like '\\' or 'A', and half-width katakana, stay.
    EXPECT_EQ(QueryValue("表ソア陰ｱｲ"), "表ソア陰ｱｲ");
    EXPECT_EQ(DictionaryUrl(kDicCgi, "表現", kDicJapanese), std::string(kDicCgi) + "?MT=表現&sw=2");
}

TEST(LookupUrls, CharactersThatWouldChangeTheQueryAreEscaped) {
    // Unescaped, "AT&T" would look up "AT" and "C#" would look up "C".
    EXPECT_EQ(WebSearchUrl("AT&T"),
              "http://search.goo.ne.jp/default.asp?MT=AT%26T&WTS=ntt&SM=MC&DE=2&DC=10");
    EXPECT_EQ(DictionaryUrl(kDicCgi, "C#", kDicEnJa), std::string(kDicCgi) + "?MT=C%23&sw=0");
    EXPECT_EQ(QueryValue("100% 1+1"), "100%25%201%2B1");
    // A quote would end the browser's quoted argument and start new options.
    EXPECT_EQ(QueryValue("x\" --new-window \"y"), "x%22%20--new-window%20%22y");
    // Line breaks and tabs would be dropped by the browser, joining the lines.
    EXPECT_EQ(QueryValue("a\r\nb\tc"), "a%0D%0Ab%09c");
    EXPECT_EQ(QueryValue(std::string("a\0b\x7F", 4)), "a%00b%7F");
    // Everything else that a query value can carry stays readable.
    EXPECT_EQ(QueryValue("a-b_c.d~e/f?g=h:i@j!k'l(m)n*o,p;q$r"),
              "a-b_c.d~e/f?g=h:i@j!k'l(m)n*o,p;q$r");
    // An escaped character right after a double-byte one is still seen.
    EXPECT_EQ(QueryValue("表&ア#"), "表%26ア%23");
    // A lead byte followed by one of them is no character: the byte after it
    // is escaped all the same, so a broken text cannot end the argument.
    EXPECT_EQ(QueryValue("\x81\"x\x82&\x83\r"), "\x81%22x\x82%26\x83%0D");
}

TEST(AddQuote, EveryLineStartsWithTheQuoteString) {
    EXPECT_EQ(AddQuote("a\r\nb", ">"), ">a\r\n>b");
    EXPECT_EQ(AddQuote("one", ">"), ">one");
    EXPECT_EQ(AddQuote("a\nb\nc", "> "), "> a\n> b\n> c");
    // The line that follows a final line break gets its quote string too.
    EXPECT_EQ(AddQuote("a\r\n", ">"), ">a\r\n>");
    EXPECT_EQ(AddQuote("a\r\n\r\nb", ">"), ">a\r\n>\r\n>b");
    // A lone CR is no line feed.
    EXPECT_EQ(AddQuote("a\rb", ">"), ">a\rb");
}

TEST(AddQuote, EmptyTextsAndDoubleByteQuotes) {
    EXPECT_EQ(AddQuote("", ">"), ">");
    EXPECT_EQ(AddQuote("a\r\nb", ""), "a\r\nb");
    EXPECT_EQ(AddQuote("", ""), "");
    EXPECT_EQ(AddQuote("表\r\nソ", "＞"), "＞表\r\n＞ソ");
}

TEST(ToLowerCp932, SingleByteCapitalsOnly) {
    EXPECT_EQ(ToLowerCp932("Hello WORLD"), "hello world");
    EXPECT_EQ(ToLowerCp932("AZaz@[`{09"), "azaz@[`{09");
    EXPECT_EQ(ToLowerCp932(""), "");
    // Half-width katakana are single bytes: the letter after them is one too.
    EXPECT_EQ(ToLowerCp932("ｱA"), "ｱa");
    // Bytes from 0x80 up that are no lead bytes are left alone.
    EXPECT_EQ(ToLowerCp932("\xA0\xC1\xFD"), "\xA0\xC1\xFD");
}

TEST(ToLowerCp932, DoubleByteCapitalsBecomeTheirSmallLetters) {
    EXPECT_EQ(ToLowerCp932("ＡＢＺ"), "ａｂｚ");
    EXPECT_EQ(ToLowerCp932("ΑΒΩ"), "αβω");
    // Cyrillic: the small letters skip 0x847F, between н and о.
    EXPECT_EQ(ToLowerCp932("АЁНОПЯ"), "аёнопя");
    ASSERT_EQ(ToLowerCp932("Н"), "\x84\x7E");
    ASSERT_EQ(ToLowerCp932("О"), "\x84\x80");
    // Small letters and the codes around the capital rows stay.
    EXPECT_EQ(ToLowerCp932("ａｚαωаяＰｉｋｏｒａ"), "ａｚαωаяｐｉｋｏｒａ");
    EXPECT_EQ(ToLowerCp932("\x82\x5F\x82\x7A\x83\x9E\x83\xB7\x84\x3F\x84\x61"),
              "\x82\x5F\x82\x7A\x83\x9E\x83\xB7\x84\x3F\x84\x61");
}

TEST(ToLowerCp932, ATrailByteThatLooksLikeACapitalStays) {
    // ア is 83 41 and 陰 is 89 41: lower-casing the 'A' would make other
    // characters (83 61 is ヂ).
    EXPECT_EQ(ToLowerCp932("ア陰"), "ア陰");
    EXPECT_EQ(ToLowerCp932("アHello陰"), "アhello陰");
    EXPECT_EQ(ToLowerCp932("表Z"), "表z");
    // A lead byte at the very end is one byte on its own.
    EXPECT_EQ(ToLowerCp932("A\x83"), "a\x83");
}

}  // namespace
}  // namespace pikora
