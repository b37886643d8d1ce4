// Pikora on a Windows whose ANSI code page is not 932 (an English one: 1252).
// The whole session runs so (see CMakeLists.txt); everything the user sees,
// pastes and keeps must be what a Japanese Windows gives.
#include <gtest/gtest.h>

#include "support/ini_file.h"
#include "support/process_windows.h"
#include "support/tray.h"
#include "support_popup.h"

namespace {

using namespace e2e;

class PikoraOnEnglishWindows : public PikoraWithNotepad {};

TEST_F(PikoraOnEnglishWindows, AJapaneseFolderListMenuPasteAndFilesAreAsOnAJapaneseWindows) {
    ASSERT_EQ(GetACP(), 1252u) << "the session must be an English one (LANG=en_US.UTF-8)";
    const std::string ini = "[Setting]\r\nInyouChar=＞\r\n";
    const std::vector<DatEntry> entries = {Locked("挨拶", "お世話になっております。")};
    subfolder_ = "ピコラ";
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(ini, entries));

    ThreadSpy spy(pikora_.Pid(), pikora_.ThreadId());
    ASSERT_TRUE(spy.Ok()) << spy.Error();
    const std::optional<Menu> menu = OpenTrayMenu(spy, pikora_.Frame());
    ASSERT_TRUE(menu.has_value()) << "the tray menu did not open";
    EXPECT_EQ(Describe(*menu), Describe(ExpectedTrayMenu(kHistoryOnLabel)));
    ASSERT_TRUE(CloseMenuWithEscape(spy));

    ASSERT_TRUE(notepad_->Focus());
    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << "Alt+X opened no popup";
    EXPECT_EQ(PopupLines(popup), std::vector<std::string>{"挨拶"});
    PressKey(VK_RETURN);
    const std::wstring expected = L"abお世話になっております。";
    EXPECT_TRUE(WaitUntil([&] { return WideTextOf(notepad_->Edit()) == expected; }, 3000))
        << "notepad holds '" << Utf8(Cp932(WideTextOf(notepad_->Edit())))
        << "'; in front: " << ClassNameOf(GetForegroundWindow());

    // The files are in the folder named in Japanese, in code page 932.
    const auto dat = DatAfterExit();
    ASSERT_TRUE(dat.has_value()) << DescribeDat(pikora_.ReadDat());
    EXPECT_EQ(*pikora_.ReadDat(), EncodeDat(entries));
    const std::optional<std::string> written = pikora_.ReadIni();
    ASSERT_TRUE(written.has_value()) << "no Pikora.ini in " << Utf8(pikora_.Folder());
    EXPECT_EQ(written->substr(0, ini.size()), ini);
    EXPECT_EQ(IniValues(IniSection(*written, "Macro"))["MacroTemplate_01"],
              "西暦4桁@<pikoraMACRO>$Y/$M/$D</pikoraMACRO>");
}

}  // namespace
