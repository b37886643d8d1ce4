#include "text/search_fold.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "popup/entry_filter.h"

namespace pikora {
namespace {

bool Matches(std::string_view text, std::string_view query) {
    return FindFolded(SearchFolded(text), SearchFolded(query)) != std::string_view::npos;
}

TEST(SearchFold, WhatAJapaneseWriterTreatsAsTheSame) {
    EXPECT_TRUE(Matches("ＡＢＣ商事", "abc"));
    EXPECT_TRUE(Matches("abc", "ＡｂＣ"));
    EXPECT_TRUE(Matches("カタカナ", "ｶﾀｶﾅ"));
    EXPECT_TRUE(Matches("カタカナ", "かたかな"));
    EXPECT_TRUE(Matches("ｶﾀｶﾅ", "かたかな"));
    // Voiced marks join their kana; み/ミ and む/ム sit either side of the gap
    // in the katakana codes.
    EXPECT_TRUE(Matches("ガッコウ・パン・ヴ", "ｶﾞｯｺｳ･ﾊﾟﾝ･ｳﾞ"));
    EXPECT_TRUE(Matches("ミム", "みむ"));
    EXPECT_TRUE(Matches("〒１２３－４５６７（東京）", "123-4567(東京)"));
    EXPECT_TRUE(Matches("￥１００", "\\100"));
    EXPECT_FALSE(Matches("カタカナ", "ｶﾞ"));  // a voiced kana is another kana
    EXPECT_FALSE(Matches("ABC", "abd"));
}

TEST(SearchFold, NecAndIbmRowsStayAsTheyAre) {
    const std::string rows = "①Ⅰ㈱\xFA\x40\xED\x40\xEE\xFC";  // ① Ⅰ ㈱ ⅰ 纊 ＂
    EXPECT_EQ(SearchFolded(rows), rows);
    EXPECT_FALSE(Matches("①", "1"));
}

TEST(SearchFold, NeverMatchesFromATrailByte) {
    // ャ (83 83) then A: the bytes 83 41 of ア straddle two characters.
    EXPECT_FALSE(Matches("ャA", "ア"));
    // 餌 is 89 61; its trail byte is the letter a.
    EXPECT_FALSE(Matches("餌", "a"));
    EXPECT_TRUE(Matches("餌a", "a"));
    // A stray lead byte at the end does not swallow the zero that ends a part.
    EXPECT_EQ(SearchFolded("x\x83"), "x?");
}

TEST(EntryFilter, NarrowsInListOrderAndRefinesTheLastResult) {
    TextItemList items;
    const std::vector<std::pair<std::string, std::string>> entries = {
        {"請求書", "ＡＢＣ商事 御中"}, {"abc", "x"}, {"メモ", "かたかな"}, {"ab", "c"}};
    for (const auto& [title, text] : entries) {
        TextItem item;
        item.title = title;
        item.text = text;
        items.AddTail(item);
    }
    EntryFilter filter;
    EXPECT_EQ(filter.Narrow(items, ""), (std::vector<int>{0, 1, 2, 3}));
    // The title ends where the text begins: "ab" + "c" is no match.
    EXPECT_EQ(filter.Narrow(items, "ab"), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(filter.Narrow(items, "abc"), (std::vector<int>{0, 1}));
    EXPECT_EQ(filter.Narrow(items, "abc商"), (std::vector<int>{0}));
    EXPECT_EQ(filter.Narrow(items, "ｶﾀ"), (std::vector<int>{2}));
    items.RemoveAt(items.FindIndex(0));
    EXPECT_EQ(filter.Narrow(items, "abc"), (std::vector<int>{0}));
}

}  // namespace
}  // namespace pikora
