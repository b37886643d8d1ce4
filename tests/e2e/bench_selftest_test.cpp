// The bench's own helpers, proven against Wine's notepad and the clipboard,
// so that a failing Pikora test points at Pikora and not at the bench.
#include <gtest/gtest.h>

#include "support/clipboard.h"
#include "support/common.h"
#include "support/input.h"
#include "support/notepad.h"

namespace {

using namespace e2e;

TEST(BenchSelfTest, KeysMouseAndPasteReachNotepad) {
    Notepad notepad;
    ASSERT_TRUE(notepad.Started()) << notepad.Error();
    ASSERT_TRUE(notepad.Focus());

    // CP932 text with double-byte characters and a line break survives the
    // clipboard and a held Ctrl+V.
    const std::string pasted = "Hello ピコラ\r\n二行目";
    ASSERT_TRUE(SetClipboardText(pasted));
    PressCtrlV();
    EXPECT_TRUE(notepad.WaitForText(pasted)) << Utf8(notepad.Text());

    // A click puts the caret before the first character; typed keys land there.
    Click(notepad.CharPoint(0));
    TypeText("ab");
    EXPECT_TRUE(notepad.WaitForText("ab" + pasted)) << Utf8(notepad.Text());

    // A drag over "abHello" selects it; Delete removes exactly that.
    Drag(notepad.CharPoint(0), notepad.CharPoint(7));
    PressKey(VK_DELETE);
    EXPECT_TRUE(notepad.WaitForText(" ピコラ\r\n二行目")) << Utf8(notepad.Text());

    // Extended keys: Ctrl+End goes to the end, Backspace removes one
    // double-byte character.
    PressChord({VK_CONTROL}, VK_END);
    PressKey(VK_BACK);
    EXPECT_TRUE(notepad.WaitForText(" ピコラ\r\n二行")) << Utf8(notepad.Text());

    EXPECT_TRUE(notepad.Close()) << "notepad did not end after answering its save prompt";
}

TEST(BenchSelfTest, ClipboardCarriesTextExtraFormatsAndImages) {
    ASSERT_TRUE(SetClipboardText("テキスト", {{"Clipboard Viewer Ignore", "x"},
                                              {"CanIncludeInClipboardHistory", DwordBytes(0)}}));
    EXPECT_EQ(GetClipboardText(), std::optional<std::string>("テキスト"));
    const auto ignore = GetClipboardFormatBytes("Clipboard Viewer Ignore");
    ASSERT_TRUE(ignore.has_value());
    EXPECT_EQ(ignore->substr(0, 1), "x");
    const auto history = GetClipboardFormatBytes("CanIncludeInClipboardHistory");
    ASSERT_TRUE(history.has_value());
    EXPECT_EQ(history->substr(0, 4), DwordBytes(0));

    ASSERT_TRUE(SetClipboardDib(8, 4, RGB(255, 0, 0)));
    EXPECT_TRUE(ClipboardHasFormat(CF_DIB));
    EXPECT_FALSE(GetClipboardText().has_value()) << "an image must leave no text behind";

    ASSERT_TRUE(ClearClipboard());
    EXPECT_FALSE(ClipboardHasFormat(CF_DIB));
}

}  // namespace
