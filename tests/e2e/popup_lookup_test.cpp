// The popup's own clipboard submenu: the lookups act on the clipboard text,
// whatever line is selected, and pass it on unchanged (English to Japanese
// included); quoting is the tray's command, reached through the frame.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/clipboard.h"
#include "support/shell_open.h"
#include "support_popup.h"

namespace {

using namespace e2e;

constexpr char kDicCgi[] = "http://dic.lookup-test.example/cgi-bin/dict_search.cgi";

class PikoraPopupLookup : public PikoraWithNotepad {
  protected:
    void StartWithRecorder() {
        ASSERT_NO_FATAL_FAILURE(
            StartWithNotepad(SettingIni({{"DicCgi", kDicCgi}}),
                             {Locked("line 0", "zero"), Locked("line 1", "one")}));
        recorder_ = std::make_unique<ShellOpenRecorder>(pikora_.Folder() + "\\opened.log");
        ASSERT_TRUE(recorder_->Ok()) << recorder_->Error();
    }

    void TearDown() override {
        PikoraWithNotepad::TearDown();
        recorder_.reset();
    }

    // Chooses command id in a freshly opened popup and returns what the shell
    // was asked to open for it.
    std::string LookUpFromPopup(UINT id) {
        HWND popup = OpenPopupWithAltX();
        if (popup == nullptr) {
            ADD_FAILURE() << "no popup";
            return {};
        }
        PressKey(VK_DOWN);  // a line of its own, which the lookup must not use
        const size_t before = recorder_->Opened().size();
        PostMessageA(popup, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        if (!recorder_->WaitOpened(before + 1)) {
            ADD_FAILURE() << "nothing was opened:\n" << recorder_->Describe();
            return {};
        }
        if (FindPopup(pikora_.Pid()) != nullptr) {
            PostMessageA(popup, WM_COMMAND, IDCANCEL, 0);
            WaitPopupGone(pikora_.Pid());
        }
        notepad_->Focus();
        return recorder_->Opened()[before];
    }

    std::unique_ptr<ShellOpenRecorder> recorder_;
};

TEST_F(PikoraPopupLookup, LookupsUseTheClipboardTextUnchanged) {
    ASSERT_NO_FATAL_FAILURE(StartWithRecorder());
    ASSERT_TRUE(SetClipboardText("ABC"));
    EXPECT_EQ(LookUpFromPopup(kIdDicEnJa), std::string(kDicCgi) + "?MT=ABC&sw=0");
    EXPECT_EQ(LookUpFromPopup(kIdDicJaEn), std::string(kDicCgi) + "?MT=ABC&sw=1");
    EXPECT_EQ(LookUpFromPopup(kIdDicJapanese), std::string(kDicCgi) + "?MT=ABC&sw=2");
    ASSERT_TRUE(SetClipboardText("abc"));
    EXPECT_EQ(LookUpFromPopup(kIdWebSearch),
              "http://search.goo.ne.jp/default.asp?MT=abc&WTS=ntt&SM=MC&DE=2&DC=10");
}

TEST_F(PikoraPopupLookup, QuotingFromThePopupQuotesTheClipboard) {
    ASSERT_NO_FATAL_FAILURE(StartWithRecorder());
    ASSERT_TRUE(SetClipboardText("a\r\nb"));
    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr);
    PostMessageA(popup, WM_COMMAND, MAKEWPARAM(kIdAddQuote, 0), 0);
    EXPECT_EQ(WaitClipboardText(">a\r\n>b", 3000), ">a\r\n>b");
    EXPECT_TRUE(recorder_->Opened().empty()) << recorder_->Describe();
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitPopupGone(pikora_.Pid()));
}

}  // namespace
