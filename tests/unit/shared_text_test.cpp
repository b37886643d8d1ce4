#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "store/shared_text.h"

namespace pikora {
namespace {

TEST(SharedText, CopiesShareTheBytesAndAssignmentReplacesOnlyTheTarget) {
    SharedText a = std::string("\x82\xa0\x82\xa2 CP932");
    SharedText b = a;
    EXPECT_EQ(a.data(), b.data());
    EXPECT_EQ(b, "\x82\xa0\x82\xa2 CP932");

    b = "other";
    EXPECT_EQ(a, "\x82\xa0\x82\xa2 CP932");
    EXPECT_EQ(b, "other");

    SharedText c = std::move(a);
    EXPECT_TRUE(a.empty());  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(c, "\x82\xa0\x82\xa2 CP932");
    c = c;  // NOLINT(clang-diagnostic-self-assign-overloaded)
    EXPECT_EQ(c, "\x82\xa0\x82\xa2 CP932");
}

TEST(SharedText, AlwaysReadsAsACString) {
    SharedText empty;
    EXPECT_STREQ(empty.c_str(), "");
    EXPECT_EQ(empty, "");

    const std::string withNul("ab\0cd", 5);
    SharedText text = withNul;
    EXPECT_EQ(text.size(), 5u);  // a std::string's bytes are kept as they are
    EXPECT_EQ(text.c_str()[5], '\0');
    EXPECT_EQ(text.str(), withNul);
}

TEST(TextBlock, FieldsKeepTheirBlockUntilTheLastOneGoes) {
    TextBlock* block = TextBlock::Create(8, 3);
    std::memcpy(block->bytes(), "one\0two\0", 8);
    SharedText one = SharedText::InBlock(block, block->bytes(), 3);
    SharedText two = SharedText::InBlock(block, block->bytes() + 4, 3);
    block->Release();  // the creator's own reference
    SharedText copy = two;
    one = SharedText();
    two = SharedText();
    EXPECT_EQ(copy, "two");  // under ASan a freed block would show here
}

}  // namespace
}  // namespace pikora
