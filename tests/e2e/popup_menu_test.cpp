// The popup list's context menu: opened by a right-click on a line or by the
// Alt key, with the kind commands enabled for the entry's kind, its keys
// belonging to the menu while it is open, and the popup still open after it.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "support/menu.h"
#include "support/thread_spy.h"
#include "support_popup.h"

namespace {

using namespace e2e;

constexpr UINT kIdItemEdit = 32777;
constexpr UINT kIdItemLock = 32778;
constexpr UINT kIdItemDelete = 32779;
constexpr UINT kIdListSettings = 32781;
constexpr UINT kIdListAddData = 32795;
constexpr UINT kIdItemNormal = 32798;

Menu ListMenu(bool lockEnabled, bool normalEnabled) {
    MenuItem lock = Command(kIdItemLock, "ロックする(&L)");
    lock.grayed = !lockEnabled;
    MenuItem normal = Command(kIdItemNormal, "ノーマルにする(&N)");
    normal.grayed = !normalEnabled;
    return {Command(kIdItemEdit, "編集(&E)"),
            lock,
            normal,
            Command(kIdItemDelete, "削除(&D)"),
            Separator(),
            Submenu("クリップボード処理(&B)",
                    {Command(kIdAddQuote, "引用符を付加(&I)"), Separator(),
                     Command(kIdWebSearch, "Goo検索"), Command(kIdDicJapanese, "国語辞典"),
                     Command(kIdDicEnJa, "英和辞典"), Command(kIdDicJaEn, "和英辞典")}),
            Command(kIdListAddData, "データを追加(&A)"),
            Separator(),
            Command(kIdListSettings, "設定(&O)")};
}

class PikoraPopupMenu : public PikoraWithNotepad {
  protected:
    HWND OpenWithSpy() {
        spy_ = std::make_unique<ThreadSpy>(pikora_.Pid(), pikora_.ThreadId());
        if (!spy_->Ok()) {
            ADD_FAILURE() << spy_->Error();
            return nullptr;
        }
        return OpenPopupWithAltX();
    }
    std::unique_ptr<ThreadSpy> spy_;
};

TEST_F(PikoraPopupMenu, RightClickSelectsTheLineAndOffersTheCommandsForItsKind) {
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({{"SelectSW", "0"}}),
                                             {Locked("locked", "l"), Normal("normal", "n")}));
    HWND popup = OpenWithSpy();
    ASSERT_NE(popup, nullptr);

    auto menu = spy_->CaptureMenu([&] { Click(PopupLinePoint(popup, 1), MouseButton::Right); });
    ASSERT_TRUE(menu.has_value()) << "no menu on a right-click";
    EXPECT_EQ(Describe(*menu), Describe(ListMenu(true, false)));
    EXPECT_EQ(PopupSelection(popup), 1) << "the right-click did not select the line under it";
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(spy_->WaitMenuLoop(false));
    ASSERT_EQ(FindPopup(pikora_.Pid()), popup) << "the popup closed with its menu";

    menu = spy_->CaptureMenu([&] { Click(PopupLinePoint(popup, 0), MouseButton::Right); });
    ASSERT_TRUE(menu.has_value());
    EXPECT_EQ(Describe(*menu), Describe(ListMenu(false, true)));
    EXPECT_EQ(PopupSelection(popup), 0);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(spy_->WaitMenuLoop(false));

    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitPopupGone(pikora_.Pid()));
    EXPECT_EQ(notepad_->Text(), "ab") << "something was typed";
}

TEST_F(PikoraPopupMenu, AltOpensTheMenuAndItsLettersChooseItsCommands) {
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({}), {Locked("one", "1")}));
    HWND popup = OpenWithSpy();
    ASSERT_NE(popup, nullptr);

    auto menu = spy_->CaptureMenu([] { PressKey(VK_MENU); });
    ASSERT_TRUE(menu.has_value()) << "no menu on Alt";
    ASSERT_TRUE(spy_->InMenuLoop());
    // D is the menu's "削除(&D)" while the menu is open: it asks before deleting.
    PressKey('D');
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBoxOf(pikora_.Pid())) != nullptr; }, 3000))
        << "the letter did not reach the menu";
    EXPECT_EQ(StaticTextsOf(box), "項目を削除しますか？") << Utf8(StaticTextsOf(box));
    PostMessageA(box, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(WaitUntil([&] { return FindMessageBoxOf(pikora_.Pid()) == nullptr; }, 3000));

    ASSERT_EQ(WaitForFocusedPopup(pikora_.Pid()), popup) << "the popup closed";
    EXPECT_EQ(PopupLines(popup), (std::vector<std::string>{"one"}));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitPopupGone(pikora_.Pid()));
}

}  // namespace
