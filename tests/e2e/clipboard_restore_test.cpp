// What the clipboard holds after a paste from the popup: the user's own copy,
// exactly, also when it is Unicode text that code page 932 cannot hold, and
// the restore of a mixed copy is not taken for a new copy by the history.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/clipboard.h"
#include "support/thread_spy.h"
#include "support/tray.h"
#include "support_popup.h"

namespace {

using namespace e2e;

bool SetClipboardUnicode(const std::wstring& text) {
    return SetClipboardBlocks(
        {{CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(text.c_str()),
                                      (text.size() + 1) * sizeof(wchar_t))}});
}

// A text and a small picture in one copy, as a browser or a word processor
// makes it.
bool SetClipboardTextAndPicture(const std::string& text) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = 2;
    header.biHeight = 2;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    std::string dib(reinterpret_cast<const char*>(&header), sizeof header);
    dib.append(16, '\x7f');
    return SetClipboardBlocks({{CF_TEXT, text + '\0'}, {CF_DIB, dib}});
}

std::wstring ClipboardUnicode() {
    std::wstring text;
    ClipboardHolder clipboard;
    if (!clipboard.Hold(3000)) {
        return L"<not open>";
    }
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = wide;
            GlobalUnlock(data);
        }
    }
    return text;
}

class PikoraClipboardRestore : public PikoraWithNotepad {
  protected:
    // Alt+X, Enter on the top entry, and the paste's end: the entry goes onto
    // the clipboard, and 400 ms after the keystroke what was there comes back.
    void PasteTopEntry(const std::string& expectedText) {
        ASSERT_NE(OpenPopupWithAltX(), nullptr) << DescribeWindowsOf(pikora_.Pid());
        ClipboardWatch clipboard;
        ASSERT_TRUE(clipboard.Ok());
        PressKey(VK_RETURN);
        ASSERT_TRUE(WaitPopupGone(pikora_.Pid()));
        ASSERT_TRUE(notepad_->WaitForText(expectedText)) << Utf8(notepad_->Text());
        ASSERT_TRUE(clipboard.WaitChanges(2))
            << "the clipboard was written " << clipboard.Changes() << " time(s)";
    }
};

TEST_F(PikoraClipboardRestore, EachPasteGivesBackWhatWasThereUnicodeTextWhole) {
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({{"StopRun", "1"}}), {Locked("e", "x")}));
    const std::wstring copied = std::wstring(L"M\u00fcller \u00e9t\u00e9 ") + wchar_t(0xD83D) +
                                wchar_t(0xDE00) + L" \uD55C\uAE00";
    ASSERT_TRUE(SetClipboardUnicode(copied));
    ASSERT_NO_FATAL_FAILURE(PasteTopEntry("abx"));
    EXPECT_TRUE(ClipboardUnicode() == copied) << "the copied text came back changed";

    // Pastes in a row: the second finds the text Pikora put back itself
    // (known without reading it again); the third a copy made in between.
    ASSERT_TRUE(SetClipboardText("plain copy"));
    ASSERT_NO_FATAL_FAILURE(PasteTopEntry("abxx"));
    EXPECT_EQ(GetClipboardText().value_or("(none)"), "plain copy");
    ASSERT_NO_FATAL_FAILURE(PasteTopEntry("abxxx"));
    EXPECT_EQ(GetClipboardText().value_or("(none)"), "plain copy");
    ASSERT_TRUE(SetClipboardText("another copy"));
    ASSERT_NO_FATAL_FAILURE(PasteTopEntry("abxxxx"));
    EXPECT_EQ(GetClipboardText().value_or("(none)"), "another copy");

    // An application that is busy when the keystroke comes takes it long
    // after 400 ms: it must still find the entry there, not the copy.
    ASSERT_NE(OpenPopupWithAltX(), nullptr);
    HANDLE busy = OpenThread(THREAD_SUSPEND_RESUME, FALSE,
                             GetWindowThreadProcessId(notepad_->Frame(), nullptr));
    ClipboardWatch clipboard;
    SuspendThread(busy);
    PressKey(VK_RETURN);
    EXPECT_TRUE(clipboard.WaitChanges(1));
    Sleep(1000);
    ResumeThread(busy);
    CloseHandle(busy);
    EXPECT_TRUE(notepad_->WaitForText("abxxxxx")) << Utf8(notepad_->Text());
    EXPECT_TRUE(clipboard.WaitChanges(2));
    EXPECT_EQ(GetClipboardText().value_or("(none)"), "another copy");
}

TEST_F(PikoraClipboardRestore, AMixedCopyPutBackAfterThePasteIsNotRecordedAsHistory) {
    // History on; the copy of a text with a picture is made while the popup
    // is up (busy), so it is not recorded, and must not be after the paste.
    ASSERT_NO_FATAL_FAILURE(
        StartWithNotepad(SettingIni({{"StopRun", "0"}, {"NoKeyClear", "0"}, {"CopyPopup", "0"}}),
                         {Locked("e", "x")}));
    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr);
    const std::unique_ptr<ThreadSpy> tray = SpyOnTray();
    ASSERT_TRUE(tray && tray->Ok()) << (tray ? tray->Error() : "no tray window");
    ASSERT_TRUE(SetClipboardTextAndPicture("copied with a picture"));
    // The tooltip follows every copy, recorded or not.
    ASSERT_TRUE(tray->WaitTrayTip("copied with a picture"))
        << tray->TrayTip().value_or("(no tip set)");
    PostMessageA(popup, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitPopupGone(pikora_.Pid()));
    ASSERT_TRUE(notepad_->Focus());
    ASSERT_NO_FATAL_FAILURE(PasteTopEntry("abx"));
    const auto dat = DatAfterExit();
    ASSERT_TRUE(dat.has_value());
    EXPECT_EQ(DescribeEntries(*dat), DescribeEntries({Locked("e", "x")}));
}

// The copy is made just before the other program takes the clipboard, and
// Pikora (reading copies 150 ms late, as for Word) cannot read it before the
// paste: it is recorded, pasted over and given back all the same. The
// restore itself meets the clipboard held for a moment too.
TEST_F(PikoraClipboardRestore, APasteChosenWhileAnotherProgramHoldsTheClipboardWaitsForIt) {
    ASSERT_TRUE(ClearClipboard());
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(
        SettingIni(
            {{"StopRun", "0"}, {"WordBugSW", "1"}, {"UseItemMoveTop", "1"}, {"NoKeyClear", "0"}}),
        {Locked("e", "x")}));
    ASSERT_TRUE(SetClipboardText("the user's own copy"));
    ClipboardHolder holder;
    ASSERT_TRUE(holder.Hold());
    ASSERT_NE(OpenPopupWithAltX(), nullptr) << DescribeWindowsOf(pikora_.Pid());
    const DWORD heldAt = GetTickCount();
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitPopupGone(pikora_.Pid()));
    // The other program's two seconds; nothing may be typed meanwhile.
    while (GetTickCount() - heldAt < 2000) {
        Sleep(20);
    }
    EXPECT_EQ(Utf8(notepad_->Text()), "ab") << "typed while the clipboard was held";
    holder.Release();
    EXPECT_TRUE(notepad_->WaitForText("abx")) << Utf8(notepad_->Text());
    // A clipboard tool reads what notepad pasted, while Pikora puts the copy
    // back 400 ms after the keystroke.
    ASSERT_TRUE(holder.Hold());
    Sleep(600);
    holder.Release();
    EXPECT_TRUE(
        WaitUntil([] { return GetClipboardText() == std::string("the user's own copy"); }, 3000))
        << "the clipboard holds '" << Utf8(GetClipboardText().value_or("(nothing)")) << "'";
    EXPECT_EQ(FindMessageBoxOf(pikora_.Pid()), nullptr);
    const auto dat = DatAfterExit();
    ASSERT_TRUE(dat.has_value());
    EXPECT_EQ(
        DescribeEntries(*dat),
        DescribeEntries({Locked("e", "x"), Normal("the user's own copy", "the user's own copy")}));
}

}  // namespace
