// Start-up with a hotkey another program holds, the end of a Windows session,
// and the delayed clipboard read for Word: the program tells the user and
// carries on, does not lose what changed since the last save, and records a
// copy late when asked to.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/clipboard.h"
#include "support/common.h"
#include "support/data_file.h"
#include "support/hotkey.h"
#include "support/input.h"
#include "support/pikora_process.h"
#include "support/process_windows.h"
#include "support/thread_spy.h"
#include "support/tray.h"

namespace {

using namespace e2e;

class PikoraLifecycle : public PikoraTest {};

TEST_F(PikoraLifecycle, ATakenPopupHotkeyIsReportedOnceAndTheOtherHotkeysStillWork) {
    HotkeyBlocker blocker(MOD_ALT, 'X');
    ASSERT_TRUE(blocker.Ok()) << "could not take Alt+X for the test";
    PikoraSeed seed;
    seed.ini = "[Setting]\r\nStopRun=0\r\nCopyPopup=0\r\nRirekiWave=0\r\n";
    ASSERT_NO_FATAL_FAILURE(StartPikora(seed));

    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBoxOf(pikora_.Pid())) != nullptr; }, 5000))
        << "no message about the popup hotkey";
    EXPECT_EQ(TextOf(box), "Pikora");
    EXPECT_EQ(StaticTextsOf(box), "ホットキーの設定に失敗 ポップアップキー")
        << Utf8(StaticTextsOf(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return FindMessageBoxOf(pikora_.Pid()) == nullptr; }, 5000));
    Sleep(300);
    EXPECT_EQ(FindMessageBoxOf(pikora_.Pid()), nullptr) << "a second message box";

    // History mode is on: Ctrl+V is Pikora's. Alt+Z switches history mode off
    // and lets Ctrl+V go.
    EXPECT_TRUE(HotkeyTaken(MOD_CONTROL, 'V'));
    PressChord({VK_MENU}, 'Z');
    EXPECT_TRUE(WaitUntil([] { return !HotkeyTaken(MOD_CONTROL, 'V'); }, 3000))
        << "Alt+Z did not switch history mode off";
}

TEST_F(PikoraLifecycle, TheEndOfTheSessionSavesWhatChangedSinceTheLastSave) {
    PikoraSeed seed;
    seed.ini = "[Setting]\r\nNoKeyClear=0\r\nCopyPopup=0\r\nRirekiWave=0\r\n";
    seed.dat = EncodeDat({Normal("n", "history"), Locked("l", "kept")});
    ASSERT_NO_FATAL_FAILURE(StartPikora(seed));

    // The clear reaches the disk on the next poll tick, or at the latest when
    // the session ends, whichever comes first. The tray menu, posted after
    // the command, opens once the command has been handled.
    ASSERT_TRUE(pikora_.PostCommand(kIdClearNormal));
    ThreadSpy spy(pikora_.Pid(), pikora_.ThreadId());
    ASSERT_TRUE(spy.Ok()) << spy.Error();
    ASSERT_TRUE(OpenTrayMenu(spy, pikora_.Frame()).has_value());
    ASSERT_TRUE(CloseMenuWithEscape(spy));

    // Windows asks, then tells the program that the session ends, and then
    // ends the process without any further message.
    DWORD_PTR answer = 0;
    ASSERT_TRUE(
        SendMessageTimeoutA(pikora_.Frame(), WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 5000, &answer));
    EXPECT_NE(answer, 0u) << "the program refused the end of the session";
    ASSERT_TRUE(
        SendMessageTimeoutA(pikora_.Frame(), WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 5000, &answer));
    pikora_.Terminate();
    ASSERT_TRUE(pikora_.WaitExit(5000));

    const auto saved = pikora_.ReadDat();
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(Hex(*saved), Hex(EncodeDat({Locked("l", "kept")}))) << DescribeDat(saved);
}

TEST_F(PikoraLifecycle, WithTheWordWorkaroundACopyIsRecordedAfterTheDelay) {
    PikoraSeed seed;
    seed.ini =
        "[Setting]\r\nStopRun=0\r\nCopyPopup=0\r\nNoKeyClear=0\r\nRirekiWave=0\r\nWordBugSW=1\r\n";
    ASSERT_NO_FATAL_FAILURE(StartPikora(seed));
    const std::string expected = EncodeDat({Normal("late", "late")});

    const DWORD copied = GetTickCount();
    ASSERT_TRUE(SetClipboardText("late"));
    ASSERT_TRUE(
        WaitUntil([&] { return FileSize(pikora_.DatPath()).value_or(0) == expected.size(); }, 3000))
        << "the copy was not recorded";
    // The clipboard is read 150 ms after the change is announced.
    EXPECT_GE(GetTickCount() - copied, 140u);
    ASSERT_TRUE(pikora_.Exit());
    EXPECT_EQ(Hex(pikora_.ReadDat().value_or("")), Hex(expected));
}

}  // namespace
