// The popup list as the user meets it in another application (Wine's
// notepad): where it opens, what it shows, the keys and the mouse inside it,
// what arrives in notepad, and what the list, the clipboard and the settings
// look like afterwards.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/clipboard.h"
#include "support/caret_probe.h"
#include "support/common.h"
#include "support/input.h"
#include "support/notepad.h"
#include "support/pikora_process.h"
#include "support/process_windows.h"
#include "support/thread_spy.h"
#include "support/tray.h"
#include "support_popup.h"

namespace {

using namespace e2e;

// The paste waits this long for the application to read the clipboard before
// it restores the previous text; a little more lets the popup run finish.
constexpr DWORD kPasteSettleMs = 700;

class PikoraPopup : public PikoraWithNotepad {};

TEST_F(PikoraPopup, AltXOpensTheListAtTheCaretAndEnterTypesTheEntryThenRestoresTheClipboard) {
    const std::string japaneseText = "こんにちは\r\n世界";
    ASSERT_EQ(Hex(japaneseText), "82 B1 82 F1 82 C9 82 BF 82 CD 0D 0A 90 A2 8A 45")
        << "the test itself was not compiled to CP932";
    const std::vector<DatEntry> entries = {
        Locked("挨拶", japaneseText),
        Locked("second", "two"),
        Normal("third", "three"),
    };
    ASSERT_TRUE(SetClipboardText("there before the paste"));
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({{"NoKeyClear", "0"}}), entries));

    const auto caret = CaretClientPoint(notepad_->Edit());
    ASSERT_TRUE(caret.has_value()) << "notepad shows no caret";
    const POINT expected = ExpectedPopupOrigin(notepad_->Edit(), *caret);

    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << "no popup after Alt+X; Pikora's windows:\n"
                              << DescribeWindowsOf(pikora_.Pid());
    EXPECT_NE(GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << "the popup is not topmost";
    EXPECT_EQ(GetWindow(popup, GW_OWNER), pikora_.Frame()) << "not owned by the main frame";
    EXPECT_EQ(DescribeLines(PopupLines(popup)), DescribeLines(TitlesOf(entries)));
    EXPECT_EQ(PopupSelection(popup), 0);
    RECT r{};
    GetWindowRect(popup, &r);
    EXPECT_EQ(r.left, expected.x) << "caret at client (" << caret->x << "," << caret->y << ")";
    EXPECT_EQ(r.top, expected.y) << "caret at client (" << caret->x << "," << caret->y << ")";
    EXPECT_EQ(r.right - r.left, 155);
    EXPECT_EQ(r.bottom - r.top, 225);

    ClipboardWatch clipboard;
    ASSERT_TRUE(clipboard.Ok());
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitPopupGone(pikora_.Pid())) << "Enter did not close the popup";
    EXPECT_TRUE(notepad_->WaitForText("ab" + japaneseText))
        << "notepad holds '" << Utf8(notepad_->Text()) << "' (" << Hex(notepad_->Text()) << ")";
    EXPECT_EQ(GetForegroundWindow(), notepad_->Frame())
        << "notepad is not in front after the paste";
    // The entry went onto the clipboard for the paste, then the old text came back.
    EXPECT_TRUE(clipboard.WaitChanges(2))
        << "the clipboard was written " << clipboard.Changes() << " time(s)";
    EXPECT_EQ(Utf8(WaitClipboardText("there before the paste")), "there before the paste");

    // A locked entry stays where it was after its paste.
    const auto saved = DatAfterExit();
    ASSERT_TRUE(saved.has_value()) << DescribeDat(pikora_.ReadDat());
    EXPECT_EQ(DescribeEntries(*saved), DescribeEntries(entries));
}

TEST_F(PikoraPopup, NearTheLowerRightCornerThePopupIsKeptOnTheScreenAsADefaultSizedBox) {
    // A remembered size larger than the default: the popup opens with it, but
    // the screen clamp still reckons with the default size.
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(
        SettingIni({{"DialogSizeX", "206"}, {"DialogSizeY", "306"}}), {Locked("one", "first")}));
    MoveNotepad(POINT{960, 700});
    ASSERT_TRUE(notepad_->Focus());
    const auto caret = CaretClientPoint(notepad_->Edit());
    ASSERT_TRUE(caret.has_value()) << "notepad shows no caret";
    const POINT expected = ExpectedPopupOrigin(notepad_->Edit(), *caret);
    ASSERT_EQ(expected.x, 1024 - 155);
    ASSERT_EQ(expected.y, 768 - 225);

    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    RECT r{};
    GetWindowRect(popup, &r);
    EXPECT_EQ(r.left, 869);
    EXPECT_EQ(r.top, 543);
    EXPECT_EQ(r.right - r.left, 206);
    EXPECT_EQ(r.bottom - r.top, 306);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitPopupGone(pikora_.Pid()));
}

TEST_F(PikoraPopup, WithToClipThePastedTextStaysOnTheClipboardAndCopyingItAgainRecordsNothing) {
    const DatEntry entry = Locked("keep", "kept on the clipboard");
    ASSERT_TRUE(SetClipboardText("there before the paste"));
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(
        SettingIni({{"ToClip", "1"}, {"StopRun", "0"}, {"NoKeyClear", "0"}}), {entry}));

    ASSERT_NE(OpenPopupWithAltX(), nullptr) << DescribeWindowsOf(pikora_.Pid());
    const std::unique_ptr<ThreadSpy> tray = SpyOnTray();
    ASSERT_TRUE(tray && tray->Ok()) << (tray ? tray->Error() : "no tray window");
    ClipboardWatch clipboard;
    ASSERT_TRUE(clipboard.Ok());
    PressKey(VK_RETURN);
    ASSERT_TRUE(notepad_->WaitForText("ab" + entry.text)) << Utf8(notepad_->Text());
    // Nothing to poll for: with ToClip the paste's last step is its pause.
    Sleep(kPasteSettleMs);
    EXPECT_EQ(clipboard.Changes(), 1) << "the clipboard was written again after the paste";
    EXPECT_EQ(GetClipboardText().value_or("(no text)"), entry.text);
    EXPECT_TRUE(tray->WaitTrayTip(entry.text)) << tray->TrayTip().value_or("(no tip set)");

    // History mode is on: the pasted text copied again counts as already
    // seen (the tooltip is set again once that copy has been handled), while
    // a new text is recorded (and saved at once).
    const LONG tipsBefore = tray->TrayTipUpdates();
    ASSERT_TRUE(SetClipboardText(entry.text));
    EXPECT_TRUE(tray->WaitTrayTipUpdates(tipsBefore)) << "the copy was not handled";
    ASSERT_TRUE(SetClipboardText("a new copy"));
    const std::vector<DatEntry> expected = {Normal("a new copy", "a new copy"), entry};
    EXPECT_TRUE(
        WaitUntil([&] { return FileSize(pikora_.DatPath()) == EncodeDat(expected).size(); }, 3000))
        << DescribeDat(pikora_.ReadDat());
    const auto saved = DatAfterExit();
    ASSERT_TRUE(saved.has_value()) << DescribeDat(pikora_.ReadDat());
    EXPECT_EQ(DescribeEntries(*saved), DescribeEntries(expected));
}

TEST_F(PikoraPopup, EscapeTypesNothingLeavesTheClipboardAloneAndGivesNotepadTheKeysBack) {
    ASSERT_TRUE(SetClipboardText("untouched"));
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(
        SettingIni({}), {Locked("one", "first text"), Locked("two", "second text")}));

    ASSERT_NE(OpenPopupWithAltX(), nullptr) << DescribeWindowsOf(pikora_.Pid());
    ClipboardWatch clipboard;
    ASSERT_TRUE(clipboard.Ok());
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitPopupGone(pikora_.Pid())) << "Escape did not close the popup";
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == notepad_->Frame(); }, 2000))
        << "in front: " << DescribeWindow(GetForegroundWindow());
    // A paste, had one started, would have arrived by now.
    Sleep(kPasteSettleMs);
    EXPECT_EQ(Utf8(notepad_->Text()), "ab");
    EXPECT_EQ(clipboard.Changes(), 0) << "the clipboard was written";
    EXPECT_EQ(GetClipboardText().value_or("(no text)"), "untouched");
    // The keys go to notepad's edit again, at the caret.
    TypeText("c");
    EXPECT_TRUE(notepad_->WaitForText("abc")) << Utf8(notepad_->Text());
}

TEST_F(PikoraPopup, SpaceWrapsLettersJumpTheThirdLineChosenWithArrowsIsPastedAndReopensSelected) {
    const std::vector<DatEntry> entries = {Locked("alpha", "first"), Locked("beta", "second"),
                                           Locked("gamma", "third"), Locked("delta", "fourth")};
    ASSERT_NO_FATAL_FAILURE(
        StartWithNotepad(SettingIni({{"SelectSW", "1"}, {"SelectID", "0"}}), entries));

    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    EXPECT_EQ(PopupSelection(popup), 0);
    PressChord({VK_SHIFT}, VK_SPACE);
    EXPECT_TRUE(WaitUntil([&] { return PopupSelection(popup) == 3; }, 2000))
        << "Shift+Space on the first line selected " << PopupSelection(popup);
    PressKey(VK_SPACE);
    EXPECT_TRUE(WaitUntil([&] { return PopupSelection(popup) == 0; }, 2000))
        << "Space on the last line selected " << PopupSelection(popup);
    PressKey(VK_SPACE);
    EXPECT_TRUE(WaitUntil([&] { return PopupSelection(popup) == 1; }, 2000))
        << "Space on the first line selected " << PopupSelection(popup);
    // A typed letter jumps to the next title that begins with it, round to
    // the top.
    TypeText("d");
    EXPECT_TRUE(WaitUntil([&] { return PopupSelection(popup) == 3; }, 2000))
        << "d selected " << PopupSelection(popup);
    TypeText("A");
    EXPECT_TRUE(WaitUntil([&] { return PopupSelection(popup) == 0; }, 2000))
        << "A on the last line selected " << PopupSelection(popup);
    TypeText("b");
    EXPECT_TRUE(WaitUntil([&] { return PopupSelection(popup) == 1; }, 2000))
        << "b selected " << PopupSelection(popup);
    PressKey(VK_UP);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return PopupSelection(popup) == 2; }, 2000))
        << "the arrows selected " << PopupSelection(popup);

    ClipboardWatch clipboard;
    ASSERT_TRUE(clipboard.Ok());
    PressKey(VK_RETURN);
    EXPECT_TRUE(notepad_->WaitForText("ab" + entries[2].text)) << Utf8(notepad_->Text());
    EXPECT_TRUE(WaitUntil(
        [&] { return SettingValue(pikora_.ReadIni().value_or(""), "SelectID") == "2"; }, 2000))
        << "SelectID=" << SettingValue(pikora_.ReadIni().value_or(""), "SelectID").value_or("?");
    // The run has ended once the old clipboard text is back.
    ASSERT_TRUE(clipboard.WaitChanges(2));

    popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << "no second popup; " << DescribeWindowsOf(pikora_.Pid());
    EXPECT_TRUE(WaitUntil([&] { return PopupSelection(popup) == 2; }, 1000))
        << "the second popup opened at line " << PopupSelection(popup);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitPopupGone(pikora_.Pid()));
}

TEST_F(PikoraPopup, DeleteAsksFirstNoKeepsTheEntryAndYesRemovesItTheFirstAndTheLastToo) {
    const std::vector<DatEntry> entries = {Locked("alpha", "first"), Locked("beta", "second"),
                                           Locked("gamma", "third")};
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({}), entries));

    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    // Delete on the selected line, then the question's button `answer`.
    const auto deleteAnswering = [&](int answer) {
        PressKey(VK_DELETE);
        HWND box = nullptr;
        ASSERT_TRUE(
            WaitUntil([&] { return (box = FindMessageBoxOf(pikora_.Pid())) != nullptr; }, 3000))
            << "no question after Delete; " << DescribeWindowsOf(pikora_.Pid());
        EXPECT_EQ(Utf8(StaticTextsOf(box)), Utf8("項目を削除しますか？"));
        EXPECT_EQ(TextOf(box), "Pikora");
        HWND button = GetDlgItem(box, answer);
        ASSERT_NE(button, nullptr) << "the question lacks the button " << answer;
        EXPECT_NE(GetDlgItem(box, answer == IDNO ? IDYES : IDNO), nullptr);
        Click(CenterOf(button));
        ASSERT_TRUE(WaitUntil([&] { return FindMessageBoxOf(pikora_.Pid()) == nullptr; }, 3000))
            << "the question stayed after the answer";
    };
    PressKey(VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return PopupSelection(popup) == 1; }, 2000));
    ASSERT_NO_FATAL_FAILURE(deleteAnswering(IDNO));
    EXPECT_EQ(WaitForFocusedPopup(pikora_.Pid()), popup) << "the popup closed with the question";
    EXPECT_EQ(DescribeLines(PopupLines(popup)), DescribeLines(TitlesOf(entries)));

    // Yes on a middle line takes it out of the open popup.
    ASSERT_NO_FATAL_FAILURE(deleteAnswering(IDYES));
    EXPECT_TRUE(WaitUntil([&] { return PopupLines(popup).size() == 2; }, 2000));
    EXPECT_EQ(DescribeLines(PopupLines(popup)), DescribeLines({"alpha", "gamma"}));
    // The first line: the popup is built again without it.
    Click(PopupLinePoint(popup, 0));
    ASSERT_TRUE(WaitUntil([&] { return PopupSelection(popup) == 0; }, 2000));
    ASSERT_NO_FATAL_FAILURE(deleteAnswering(IDYES));
    HWND rebuilt = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            rebuilt = FindPopup(pikora_.Pid());
            return rebuilt != nullptr && PopupLines(rebuilt).size() == 1;
        },
        3000))
        << DescribeWindowsOf(pikora_.Pid());
    EXPECT_EQ(DescribeLines(PopupLines(rebuilt)), DescribeLines({"gamma"}));
    // The last entry of all.
    ASSERT_TRUE(WaitUntil([&] { return PopupSelection(rebuilt) == 0; }, 2000));
    ASSERT_NO_FATAL_FAILURE(deleteAnswering(IDYES));
    ASSERT_TRUE(WaitUntil(
        [&] {
            rebuilt = FindPopup(pikora_.Pid());
            return rebuilt != nullptr && PopupLines(rebuilt).empty();
        },
        3000))
        << DescribeWindowsOf(pikora_.Pid());
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitPopupGone(pikora_.Pid())) << "Escape after the question did not close it";
    const auto saved = DatAfterExit();
    ASSERT_TRUE(saved.has_value()) << DescribeDat(pikora_.ReadDat());
    EXPECT_EQ(DescribeEntries(*saved), DescribeEntries({}));
}

TEST_F(PikoraPopup, NormalDeleteRemovesAPastedNormalEntryButKeepsAPastedLockedOne) {
    const DatEntry normal = Normal("normal", "normal text");
    const DatEntry locked = Locked("locked", "locked text");
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(
        SettingIni({{"NoKeyClear", "0"}, {"NormalDelete", "1"}, {"UseItemMoveTop", "0"}}),
        {normal, locked}));

    ASSERT_NE(OpenPopupWithAltX(), nullptr) << DescribeWindowsOf(pikora_.Pid());
    {
        ClipboardWatch clipboard;
        PressKey(VK_RETURN);
        ASSERT_TRUE(notepad_->WaitForText("ab" + normal.text)) << Utf8(notepad_->Text());
        ASSERT_TRUE(clipboard.WaitChanges(2));
    }
    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    EXPECT_EQ(DescribeLines(PopupLines(popup)), DescribeLines({locked.title}));
    {
        ClipboardWatch clipboard;
        PressKey(VK_RETURN);
        ASSERT_TRUE(notepad_->WaitForText("ab" + normal.text + locked.text))
            << Utf8(notepad_->Text());
        ASSERT_TRUE(clipboard.WaitChanges(2));
    }
    popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    EXPECT_EQ(DescribeLines(PopupLines(popup)), DescribeLines({locked.title}));
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitPopupGone(pikora_.Pid()));

    const auto saved = DatAfterExit();
    ASSERT_TRUE(saved.has_value()) << DescribeDat(pikora_.ReadDat());
    EXPECT_EQ(DescribeEntries(*saved), DescribeEntries({locked}));
}

TEST_F(PikoraPopup, UseItemMoveTopMovesThePastedEntryUpWithItsMacroUnexpanded) {
    const std::string macro = "<pikoraMACRO>$Y</pikoraMACRO>";
    const std::vector<DatEntry> entries = {Locked("alpha", "first"), Locked("beta", "second"),
                                           Locked("year", macro)};
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(
        SettingIni({{"UseItemMoveTop", "1"}, {"SelectSW", "1"}, {"SelectID", "0"}}), entries));

    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return PopupSelection(popup) == 2; }, 2000));
    {
        ClipboardWatch clipboard;
        SYSTEMTIME now{};
        GetLocalTime(&now);
        PressKey(VK_RETURN);
        EXPECT_TRUE(notepad_->WaitForText("ab" + std::to_string(now.wYear)))
            << Utf8(notepad_->Text());
        ASSERT_TRUE(clipboard.WaitChanges(2));
    }

    // The moved entry is the top line and the remembered selection follows it.
    popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    EXPECT_EQ(DescribeLines(PopupLines(popup)),
              DescribeLines({entries[2].title, entries[0].title, entries[1].title}));
    EXPECT_EQ(PopupSelection(popup), 0);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitPopupGone(pikora_.Pid()));
    EXPECT_TRUE(WaitUntil(
        [&] { return SettingValue(pikora_.ReadIni().value_or(""), "SelectID") == "0"; }, 2000))
        << "SelectID=" << SettingValue(pikora_.ReadIni().value_or(""), "SelectID").value_or("?");

    const auto saved = DatAfterExit();
    ASSERT_TRUE(saved.has_value()) << DescribeDat(pikora_.ReadDat());
    EXPECT_EQ(DescribeEntries(*saved), DescribeEntries({entries[2], entries[0], entries[1]}));
}

// Runs with the system at 144 DPI (see CMakeLists.txt).
TEST_F(PikoraPopup, At144DpiLinesAreTallerTheSizeIsStoredAt96AndTheEdgeClampScales) {
    {
        HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        ASSERT_EQ(dpi, 144) << "the test prefix is not at 144 DPI";
    }
    // Stored as at 96 DPI: a popup resized to 206 x 306 there.
    ASSERT_NO_FATAL_FAILURE(
        StartWithNotepad(SettingIni({{"DialogSizeX", "206"}, {"DialogSizeY", "306"}}),
                         {Locked("one", "first"), Locked("two", "second")}));
    const auto caret = CaretClientPoint(notepad_->Edit());
    ASSERT_TRUE(caret.has_value()) << "notepad shows no caret";
    const POINT expected = ExpectedPopupOrigin(notepad_->Edit(), *caret, 144);

    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    RECT r{};
    GetWindowRect(popup, &r);
    EXPECT_EQ(r.left, expected.x);
    EXPECT_EQ(r.top, expected.y);
    EXPECT_EQ(r.right - r.left, 309);
    EXPECT_EQ(r.bottom - r.top, 459);
    // 17 pixels at 96 DPI.
    EXPECT_EQ(SendMessageW(PopupListOf(popup), LB_GETITEMHEIGHT, 1, 0), 26);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitPopupGone(pikora_.Pid()));

    // Near the lower-right corner the popup is kept on the screen as a box
    // of the default size at this DPI, 233 x 338.
    MoveNotepad(POINT{960, 700});
    ASSERT_TRUE(notepad_->Focus());
    popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    GetWindowRect(popup, &r);
    EXPECT_EQ(r.left, 1024 - 233);
    EXPECT_EQ(r.top, 768 - 338);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitPopupGone(pikora_.Pid()));

    // Each popup wrote its size back unchanged: it keeps its 96-DPI meaning.
    ASSERT_TRUE(pikora_.Exit());
    const std::string ini = pikora_.ReadIni().value_or("");
    EXPECT_EQ(SettingValue(ini, "DialogSizeX").value_or("?"), "206");
    EXPECT_EQ(SettingValue(ini, "DialogSizeY").value_or("?"), "306");
}

TEST_F(PikoraPopup, AResizedPopupStoresItsSizeAndTheNextOneOpensWithIt) {
    ASSERT_NO_FATAL_FAILURE(
        StartWithNotepad(SettingIni({}), {Locked("one", "first"), Locked("two", "second")}));

    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    RECT outer{};
    RECT client{};
    GetWindowRect(popup, &outer);
    GetClientRect(popup, &client);
    const int borderX = (outer.right - outer.left) - client.right;
    const int borderY = (outer.bottom - outer.top) - client.bottom;
    // The user's drag of the border arrives as the same size change.
    SetWindowPos(popup, nullptr, 0, 0, 200 + borderX, 300 + borderY,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(popup, &client);
    ASSERT_EQ(client.right, 200);
    ASSERT_EQ(client.bottom, 300);
    // The list follows the window.
    RECT list{};
    GetWindowRect(PopupListOf(popup), &list);
    EXPECT_EQ(list.right - list.left, 200);
    EXPECT_EQ(list.bottom - list.top, 300);

    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitPopupGone(pikora_.Pid()));
    EXPECT_TRUE(WaitUntil(
        [&] {
            const std::string ini = pikora_.ReadIni().value_or("");
            return SettingValue(ini, "DialogSizeX") == "206" &&
                   SettingValue(ini, "DialogSizeY") == "306";
        },
        2000))
        << "DialogSizeX="
        << SettingValue(pikora_.ReadIni().value_or(""), "DialogSizeX").value_or("?")
        << " DialogSizeY="
        << SettingValue(pikora_.ReadIni().value_or(""), "DialogSizeY").value_or("?");

    popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    const SIZE size = WindowSize(popup);
    EXPECT_EQ(size.cx, 206);
    EXPECT_EQ(size.cy, 306);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitPopupGone(pikora_.Pid()));
}

TEST_F(PikoraPopup, AnInvisibleSizeOrOpacityInTheIniStillGivesAPopupToSee) {
    // A hand-edited file: no width, a negative height, an opacity of 0.
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(
        SettingIni({{"DialogSizeX", "0"}, {"DialogSizeY", "-5"}, {"SemitransparentWindow", "0"}}),
        {Locked("one", "first")}));
    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    const SIZE size = WindowSize(popup);
    EXPECT_GE(size.cx, 60);
    EXPECT_GE(size.cy, 40);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(popup, nullptr, &alpha, &flags));
    EXPECT_TRUE(flags & LWA_ALPHA);
    EXPECT_EQ(alpha, 25);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitPopupGone(pikora_.Pid()));
}

TEST_F(PikoraPopup, ACopyInHistoryModeShowsTheListForASecondAndTypesNothing) {
    ASSERT_TRUE(SetClipboardText("there before the start"));
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({{"StopRun", "0"}, {"CopyPopup", "1"}}),
                                             {Locked("locked", "locked text")}));

    ASSERT_TRUE(SetClipboardText("copied text"));
    const DWORD copied = GetTickCount();
    HWND popup = WaitForPopup(pikora_.Pid(), 2000);
    ASSERT_NE(popup, nullptr) << "no popup within 2 s of the copy; "
                              << DescribeWindowsOf(pikora_.Pid());
    const DWORD shown = GetTickCount();
    EXPECT_NE(GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(DescribeLines(PopupLines(popup)), DescribeLines({"copied text", "locked"}));
    EXPECT_EQ(PopupSelection(popup), 0);

    ASSERT_TRUE(WaitPopupGone(pikora_.Pid(), 3000)) << "the popup did not close by itself";
    const DWORD gone = GetTickCount();
    EXPECT_LE(shown - copied, 1500u) << "the popup came late";
    EXPECT_GE(gone - shown, 600u) << "closed too soon";
    EXPECT_LE(gone - shown, 2000u) << "closed too late";
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == notepad_->Frame(); }, 2000))
        << "in front: " << DescribeWindow(GetForegroundWindow());
    Sleep(kPasteSettleMs);
    EXPECT_EQ(Utf8(notepad_->Text()), "ab");
    EXPECT_EQ(GetClipboardText().value_or("(no text)"), "copied text");
}

TEST_F(PikoraPopup, DraggingTheSecondLineOntoTheFourthPutsItAboveTheFourth) {
    const std::vector<DatEntry> entries = {Locked("A", "a"), Locked("B", "b"), Locked("C", "c"),
                                           Locked("D", "d")};
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({}), entries));

    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    Drag(PopupLinePoint(popup, 1), PopupLinePoint(popup, 3), 10);
    const std::vector<std::string> reordered = {"A", "C", "B", "D"};
    EXPECT_TRUE(WaitUntil([&] { return PopupLines(popup) == reordered; }, 2000))
        << "after the drag: " << DescribeLines(PopupLines(popup));
    EXPECT_EQ(PopupSelection(popup), 2) << "the moved line is not the selected one";

    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitPopupGone(pikora_.Pid()));
    const auto saved = DatAfterExit();
    ASSERT_TRUE(saved.has_value()) << DescribeDat(pikora_.ReadDat());
    EXPECT_EQ(DescribeEntries(*saved),
              DescribeEntries({entries[0], entries[2], entries[1], entries[3]}));
}

TEST_F(PikoraPopup, ClickingIntoNotepadClosesThePopupWithoutTyping) {
    ASSERT_TRUE(SetClipboardText("untouched"));
    ASSERT_NO_FATAL_FAILURE(
        StartWithNotepad(SettingIni({}), {Locked("one", "first"), Locked("two", "second")}));

    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    // A point of notepad's edit that the popup does not cover.
    RECT edit{};
    RECT over{};
    GetWindowRect(notepad_->Edit(), &edit);
    GetWindowRect(popup, &over);
    POINT target{edit.right - 40, edit.bottom - 40};
    ASSERT_FALSE(PtInRect(&over, target));
    ASSERT_EQ(WindowFromPoint(target), notepad_->Edit()) << DescribeWindow(WindowFromPoint(target));

    ClipboardWatch clipboard;
    ASSERT_TRUE(clipboard.Ok());
    Click(target);
    EXPECT_TRUE(WaitPopupGone(pikora_.Pid())) << "the popup stayed after a click elsewhere";
    Sleep(kPasteSettleMs);
    EXPECT_EQ(Utf8(notepad_->Text()), "ab");
    EXPECT_EQ(clipboard.Changes(), 0) << "the clipboard was written";
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == notepad_->Frame(); }, 2000))
        << "in front: " << DescribeWindow(GetForegroundWindow());
}

TEST_F(PikoraPopup, AProgramThatTellsItsCaretOnlyToAccessibilityGetsThePopupThereAndTheText) {
    const std::string text = "こんにちは、世界";
    PikoraSeed seed;
    seed.ini = SettingIni({});
    seed.dat = EncodeDat({Locked("挨拶", text)});
    ASSERT_NO_FATAL_FAILURE(StartPikora(seed));
    CaretProbe probe("accessible", POINT{140, 90});
    ASSERT_TRUE(probe.Started()) << probe.Error();
    ASSERT_TRUE(probe.Focus());
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(probe.Window(), nullptr), &info));
    ASSERT_EQ(info.hwndCaret, nullptr) << "the probe shows a system caret";

    HWND popup = OpenPopupWithAltX(probe.Window());
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    const POINT caret = probe.CaretOnScreen();
    RECT r{};
    GetWindowRect(popup, &r);
    EXPECT_NEAR(r.left, caret.x - 20, 4) << "caret at (" << caret.x << "," << caret.y << ")";
    EXPECT_NEAR(r.top, caret.y + 20, 4) << "caret at (" << caret.x << "," << caret.y << ")";

    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return probe.Pasted() == text; }, 3000))
        << "the probe got '" << Utf8(probe.Pasted()) << "' (" << Hex(probe.Pasted()) << ")";
}

}  // namespace
