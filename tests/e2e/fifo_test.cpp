// Ctrl+V in another application (Wine's notepad) while Pikora runs: in
// history mode with first-in-first-out pasting it hands out the recorded
// texts oldest first; otherwise the clipboard is pasted as it is.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/clipboard.h"
#include "support/common.h"
#include "support/hotkey.h"
#include "support/input.h"
#include "support/pikora_process.h"
#include "support_popup.h"

namespace {

using namespace e2e;

// How long a Ctrl+V that must not paste is given to (wrongly) do so.
constexpr DWORD kQuietMs = 600;

const DatEntry kNewer = Normal("newer", "newer normal text");
const DatEntry kLocked = Locked("locked", "locked text");
const DatEntry kOlder = Normal("older", "older normal text");

class PikoraFifo : public PikoraWithNotepad {};

TEST_F(PikoraFifo, CtrlVHandsOutTheOldestNormalEntryFirstThenTheNextThenNothing) {
    ASSERT_TRUE(SetClipboardText("there before the start"));
    ASSERT_NO_FATAL_FAILURE(
        StartWithNotepad(SettingIni({{"StopRun", "0"}, {"Sakiire", "1"}, {"NoKeyClear", "0"}}),
                         {kNewer, kLocked, kOlder}, ""));

    PressCtrlV();
    EXPECT_TRUE(notepad_->WaitForText(kOlder.text))
        << "first Ctrl+V gave '" << Utf8(notepad_->Text()) << "'";
    PressCtrlV();
    EXPECT_TRUE(notepad_->WaitForText(kOlder.text + kNewer.text))
        << "second Ctrl+V gave '" << Utf8(notepad_->Text()) << "'";
    PressCtrlV();
    Sleep(kQuietMs);
    EXPECT_EQ(Utf8(notepad_->Text()), Utf8(kOlder.text + kNewer.text))
        << "the third Ctrl+V pasted something";

    // The texts handed out are neither kept nor recorded again as history.
    const auto saved = DatAfterExit();
    ASSERT_TRUE(saved.has_value()) << DescribeDat(pikora_.ReadDat());
    EXPECT_EQ(DescribeEntries(*saved), DescribeEntries({kLocked}));
}

// A copy made just before the hold, which Pikora (reading copies 150 ms late)
// could not read yet, joins the list before the entry goes on the clipboard.
TEST_F(PikoraFifo, CtrlVWhileAnotherProgramHoldsTheClipboardPastesTheEntryWhenItFrees) {
    ASSERT_TRUE(SetClipboardText("there before the start"));
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(
        SettingIni({{"StopRun", "0"}, {"Sakiire", "1"}, {"NoKeyClear", "0"}, {"WordBugSW", "1"}}),
        {kNewer, kLocked, kOlder}, ""));
    const DatEntry copy = Normal("copied before the hold", "copied before the hold");
    ASSERT_TRUE(SetClipboardText(copy.text));
    ClipboardHolder holder;
    ASSERT_TRUE(holder.Hold());
    const DWORD heldAt = GetTickCount();
    PressCtrlV();
    // The other program's two seconds; nothing may be pasted meanwhile.
    while (GetTickCount() - heldAt < 2000) {
        Sleep(20);
    }
    EXPECT_EQ(Utf8(notepad_->Text()), "") << "pasted while the clipboard was held";
    holder.Release();
    EXPECT_TRUE(notepad_->WaitForText(kOlder.text))
        << "Ctrl+V gave '" << Utf8(notepad_->Text()) << "'";
    // No key is left down by the paste that came after the user let go.
    EXPECT_TRUE(WaitUntil([] { return GetAsyncKeyState(VK_CONTROL) >= 0; }, 2000));
    EXPECT_GE(GetAsyncKeyState('V'), 0);

    const auto saved = DatAfterExit();
    ASSERT_TRUE(saved.has_value()) << DescribeDat(pikora_.ReadDat());
    EXPECT_EQ(DescribeEntries(*saved), DescribeEntries({copy, kNewer, kLocked}));
}

TEST_F(PikoraFifo, WithHistoryModeOffCtrlVPastesTheClipboardUntilAltZTurnsInterceptionOn) {
    ASSERT_TRUE(SetClipboardText("plain clipboard"));
    ASSERT_NO_FATAL_FAILURE(
        StartWithNotepad(SettingIni({{"StopRun", "1"}, {"Sakiire", "1"}, {"NoKeyClear", "0"}}),
                         {kNewer, kLocked, kOlder}, ""));

    EXPECT_FALSE(HotkeyTaken(MOD_CONTROL, 'V')) << "Ctrl+V is intercepted with history mode off";
    PressCtrlV();
    EXPECT_TRUE(notepad_->WaitForText("plain clipboard"))
        << "Ctrl+V with history mode off gave '" << Utf8(notepad_->Text()) << "'";

    PressChord({VK_MENU}, 'Z');
    // Alt+Z reaches Pikora as a posted command; only then is Ctrl+V taken.
    // Probing too early could take the key in Pikora's place.
    Sleep(300);
    ASSERT_TRUE(WaitUntil([] { return HotkeyTaken(MOD_CONTROL, 'V'); }, 2000, 100))
        << "Alt+Z did not turn Ctrl+V interception on";
    ASSERT_TRUE(notepad_->Focus());
    PressCtrlV();
    EXPECT_TRUE(notepad_->WaitForText("plain clipboard" + kOlder.text))
        << "Ctrl+V after Alt+Z gave '" << Utf8(notepad_->Text()) << "'";

    const auto saved = DatAfterExit();
    ASSERT_TRUE(saved.has_value()) << DescribeDat(pikora_.ReadDat());
    EXPECT_EQ(DescribeEntries(*saved), DescribeEntries({kNewer, kLocked}));
}

}  // namespace
