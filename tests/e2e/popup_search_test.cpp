// The popup's search line (Ctrl+F): what it narrows the list to, what Enter
// pastes, Escape, and an entry command on a narrowed list.
#include <gtest/gtest.h>

#include "support/clipboard.h"
#include "support/common.h"
#include "support/input.h"
#include "support/notepad.h"
#include "support/process_windows.h"
#include "support_popup.h"

namespace {

using namespace e2e;

constexpr int kSearchBoxId = 1039;

class PikoraPopupSearch : public PikoraWithNotepad {};

TEST_F(PikoraPopupSearch, TypedTextNarrowsEnterPastesTheMatchEscapeClearsDeleteHitsTheLineShown) {
    const std::vector<DatEntry> entries = {
        Locked("alpha", "one"), Locked("請求書", "ＡＢＣ商事 御中"), Locked("メモ", "カタカナ"),
        Locked("添付", "attached"), Locked("abc", "x")};
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({{"NoKeyClear", "0"}}), entries));
    const auto linesAre = [&](HWND popup, const std::vector<std::string>& expected) {
        const bool same = WaitUntil([&] { return PopupLines(popup) == expected; }, 3000);
        EXPECT_TRUE(same) << DescribeLines(PopupLines(popup)) << " instead of "
                          << DescribeLines(expected) << " for the search text "
                          << Hex(TextOf(GetDlgItem(popup, kSearchBoxId)));
        return same;
    };
    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    PressChord({VK_CONTROL}, 'F');
    TypeText("ABC");
    ASSERT_TRUE(linesAre(popup, {"請求書", "abc"}));
    TypeText("Q");
    ASSERT_TRUE(linesAre(popup, {}));
    // Escape empties the box and keeps the popup; the selection goes back to
    // the entry it was on before nothing matched, now line 1 of the whole
    // list. The box keeps the keys.
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(linesAre(popup, TitlesOf(entries)));
    EXPECT_EQ(PopupSelection(popup), 1);
    TypeUnicode(L"\u6dfb\u4ed8");  // 添付, as an IME commits it
    ASSERT_TRUE(linesAre(popup, {"添付"}));
    ClipboardWatch clipboard;
    ASSERT_TRUE(clipboard.Ok());
    PressKey(VK_RETURN);
    EXPECT_TRUE(notepad_->WaitForText("abattached")) << Utf8(notepad_->Text());
    EXPECT_TRUE(WaitUntil(
        [&] { return SettingValue(pikora_.ReadIni().value_or(""), "SelectID") == "3"; }, 2000));
    ASSERT_TRUE(clipboard.WaitChanges(2));

    // Half-width kana find the full-width entry, whose line 0 is entry 2; the
    // search is gone with the popup that had it.
    popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    ASSERT_TRUE(linesAre(popup, TitlesOf(entries)));
    PressChord({VK_CONTROL}, 'F');
    TypeUnicode(L"\uff76\uff80\uff76\uff85");  // ｶﾀｶﾅ
    ASSERT_TRUE(linesAre(popup, {"メモ"}));
    Click(PopupLinePoint(popup, 0));
    PressKey(VK_DELETE);
    HWND box = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (box = FindMessageBoxOf(pikora_.Pid())) != nullptr; }, 3000));
    Click(CenterOf(GetDlgItem(box, IDYES)));
    ASSERT_TRUE(linesAre(popup, {}));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitPopupGone(pikora_.Pid()));
    const auto saved = DatAfterExit();
    ASSERT_TRUE(saved.has_value()) << DescribeDat(pikora_.ReadDat());
    EXPECT_EQ(DescribeEntries(*saved),
              DescribeEntries({entries[0], entries[1], entries[3], entries[4]}));
}

}  // namespace
