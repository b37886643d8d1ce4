#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/history_capture.h"
#include "store/make_title.h"
#include "store_testing.h"

namespace pikora {
namespace {

using testing::Items;
using testing::Titles;
using Strings = std::vector<std::string>;

TEST(MakeTitle, TakesTheFirst23BytesWithLineBreaksAndTabsAsBlanks) {
    EXPECT_EQ(MakeTitle("abcde\r\nfghijklmnopqrstuvwxyz0"), "abcde  fghijklmnopqrstu");
    EXPECT_EQ(MakeTitle("abcde\r\nfghijklmnopqrstuvwxyz0").size(), 23u);
    EXPECT_EQ(MakeTitle("a\tb\nc\rd"), "a b c d");
    EXPECT_EQ(MakeTitle("short"), "short");
    EXPECT_EQ(MakeTitle(""), "");
    EXPECT_EQ(MakeTitle(std::string(23, 'x')), std::string(23, 'x'));
    EXPECT_EQ(MakeTitle(std::string(24, 'x')), std::string(23, 'x'));
    // Only the 23 kept bytes are looked at; a break further on is irrelevant.
    EXPECT_EQ(MakeTitle(std::string(23, 'x') + "\r\n"), std::string(23, 'x'));
}

TEST(MakeTitle, NeverEndsOnHalfADoubleByteCharacter) {
    ASSERT_EQ(std::string("あ"), "\x82\xA0");  // literals are CP932 here

    // The 23rd byte would be the lead byte of あ: the title stops before it.
    EXPECT_EQ(MakeTitle(std::string(22, 'x') + "あいう"), std::string(22, 'x'));
    // The character fits exactly into bytes 22 and 23.
    EXPECT_EQ(MakeTitle(std::string(21, 'x') + "あいう"), std::string(21, 'x') + "あ");
    // Twelve double-byte characters (24 bytes): eleven of them, 22 bytes.
    EXPECT_EQ(MakeTitle("あいうえおかきくけこさし"), "あいうえおかきくけこさ");
    // Half-width katakana are single bytes.
    EXPECT_EQ(MakeTitle(std::string(22, 'x') + "ｱｲ"), std::string(22, 'x') + "ｱ");
    // 表 (95 5C) stays whole; only the real line break turns into blanks.
    EXPECT_EQ(MakeTitle("表\r\n"), "表  ");
}

TEST(CaptureDecision, RecordsOnlyNewNonEmptyTextsWhileIdleInHistoryMode) {
    const CaptureGate ready{true, false, true};
    EXPECT_TRUE(ShouldCapture(ready, "abc", ""));
    EXPECT_TRUE(ShouldCapture(ready, "abc", "ABC"));  // case counts
    EXPECT_TRUE(ShouldCapture(ready, "abc", "abc "));
    EXPECT_FALSE(ShouldCapture(ready, "abc", "abc"));  // duplicate of the last one
    EXPECT_FALSE(ShouldCapture(ready, "", ""));
    EXPECT_FALSE(ShouldCapture(ready, "", "abc"));

    EXPECT_FALSE(ShouldCapture(CaptureGate{false, false, true}, "abc", ""));  // not loaded yet
    EXPECT_FALSE(ShouldCapture(CaptureGate{true, true, true}, "abc", ""));    // busy
    EXPECT_FALSE(ShouldCapture(CaptureGate{true, false, false}, "abc", ""));  // mode off
}

TEST(CaptureDecision, MarkedClipboardContentIsPrivate) {
    EXPECT_FALSE(IsPrivateClipboard(ClipboardMarks{}));

    ClipboardMarks exclude;
    exclude.excludeFromMonitor = true;
    EXPECT_TRUE(IsPrivateClipboard(exclude));

    ClipboardMarks ignore;
    ignore.viewerIgnore = true;
    EXPECT_TRUE(IsPrivateClipboard(ignore));

    ClipboardMarks noHistory;
    noHistory.historyAllowedKnown = true;
    noHistory.historyAllowed = 0;
    EXPECT_TRUE(IsPrivateClipboard(noHistory));

    ClipboardMarks historyAllowed;
    historyAllowed.historyAllowedKnown = true;
    historyAllowed.historyAllowed = 1;
    EXPECT_FALSE(IsPrivateClipboard(historyAllowed));

    ClipboardMarks unreadable;  // a value we could not read proves nothing
    unreadable.historyAllowed = 0;
    EXPECT_FALSE(IsPrivateClipboard(unreadable));

    EXPECT_STREQ(kExcludeFromMonitorFormat, "ExcludeClipboardContentFromMonitorProcessing");
    EXPECT_STREQ(kViewerIgnoreFormat, "Clipboard Viewer Ignore");
    EXPECT_STREQ(kCanIncludeInHistoryFormat, "CanIncludeInClipboardHistory");
}

TEST(RecordHistoryText, AddsANormalEntryAtTheTopAndRemembersItsText) {
    const CaptureGate ready{true, false, true};
    TextItemList list;
    std::string last;

    EXPECT_TRUE(RecordHistoryText(list, last, ready, {}, "abc"));
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(Items(list).front(), (TextItem{KIND_NORMAL, 0, -1, "abc", "abc"}));
    EXPECT_EQ(last, "abc");

    EXPECT_FALSE(RecordHistoryText(list, last, ready, {}, "abc"));
    EXPECT_TRUE(RecordHistoryText(list, last, ready, {}, "B"));
    EXPECT_TRUE(RecordHistoryText(list, last, ready, {}, "abc"));
    EXPECT_EQ(Titles(list), (Strings{"abc", "B", "abc"}));

    ClipboardMarks secret;
    secret.excludeFromMonitor = true;
    EXPECT_FALSE(RecordHistoryText(list, last, ready, secret, "hunter2"));
    EXPECT_FALSE(RecordHistoryText(list, last, CaptureGate{false, false, true}, {}, "early"));
    EXPECT_FALSE(RecordHistoryText(list, last, CaptureGate{true, false, false}, {}, "off"));
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(last, "abc");

    const std::string crlf = "line one is long enough\r\nline two";
    EXPECT_TRUE(RecordHistoryText(list, last, ready, {}, crlf));
    EXPECT_EQ(Items(list).front().text, crlf);
    EXPECT_EQ(Items(list).front().title, "line one is long enough");
}

}  // namespace
}  // namespace pikora
