// A left click on the tray icon: the popup opens with its lower-right corner
// at the pointer where it hovered over the icon, and the chosen text goes into
// the application that was in front before the click.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/common.h"
#include "support/input.h"
#include "support/tray.h"
#include "support_popup.h"

namespace {

using namespace e2e;

class PikoraTrayPopup : public PikoraWithNotepad {};

TEST_F(PikoraTrayPopup, HoverThenLeftClickOpensThePopupAtThePointerAndPastesIntoTheApplication) {
    ASSERT_NO_FATAL_FAILURE(
        StartWithNotepad(SettingIni({}), {Locked("tray", "from the tray"), Locked("x", "other")}));
    const POINT pointer{600, 500};
    MoveMouse(pointer);

    // The hover asks for the caret of the application in front; the next poll
    // tick takes it, or the click itself when it comes before that tick.
    PostTrayMouse(pikora_.Frame(), WM_MOUSEMOVE);
    PostTrayMouse(pikora_.Frame(), WM_LBUTTONDOWN);
    HWND popup = WaitForFocusedPopup(pikora_.Pid());
    ASSERT_NE(popup, nullptr) << "no popup after the click";

    RECT r;
    GetWindowRect(popup, &r);
    EXPECT_EQ(r.left, pointer.x - 155);
    EXPECT_EQ(r.top, pointer.y - 225);
    EXPECT_EQ(r.right, pointer.x);
    EXPECT_EQ(r.bottom, pointer.y);
    EXPECT_EQ(PopupLines(popup), (std::vector<std::string>{"tray", "x"}));

    PressKey(VK_RETURN);
    EXPECT_TRUE(notepad_->WaitForText("abfrom the tray"))
        << "notepad holds '" << Utf8(notepad_->Text()) << "'";
    EXPECT_EQ(GetForegroundWindow(), notepad_->Frame());
}

}  // namespace
