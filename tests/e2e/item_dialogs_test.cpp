// The entry commands of the popup's menu and the add and edit dialogs behind
// them: editing, locking, adding below the selected line, the template
// drop-down and the file-name button, and the tray's own add command.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/clipboard.h"
#include "support_dialogs.h"
#include "support_popup.h"

namespace {

using namespace e2e;
using Strings = std::vector<std::string>;

constexpr UINT kIdItemEdit = 32777;
constexpr UINT kIdItemLock = 32778;
constexpr UINT kIdListAddData = 32795;
constexpr UINT kIdItemNormal = 32798;

// The edit dialog's controls.
constexpr int kEditText = 1008;
constexpr int kEditName = 1012;
constexpr int kEditKind = 1019;
constexpr int kEditTemplates = 1035;
// The add dialog's controls.
constexpr int kAddButton = 1027;
constexpr int kCloseButton = 1028;
constexpr int kAddText = 1029;
constexpr int kAddName = 1030;
constexpr int kAddTemplates = 1036;
constexpr int kAddTemplateInsert = 1037;
constexpr int kAddFileNameInsert = 1038;

const char* const kEditCaption = "編集";
const char* const kAddCaption = "テキスト項目追加";

const Strings kTemplateLabels = {"西暦4桁",
                                 "和暦",
                                 "曜日",
                                 "曜日(英語)",
                                 "時間(23:59:59)",
                                 "時間(PM 11:59:59)",
                                 "時間(午後 11時 59分)",
                                 "シェル実行",
                                 "関連付け実行"};

class PikoraItemDialogs : public PikoraWithNotepad {
  protected:
    // The popup opened with Alt+X and line `line` selected with the arrows.
    HWND OpenPopupOnLine(int line) {
        HWND popup = OpenPopupWithAltX();
        if (popup == nullptr) {
            return nullptr;
        }
        for (int i = PopupSelection(popup); i < line; ++i) {
            PressKey(VK_DOWN);
        }
        WaitUntil([&] { return PopupSelection(popup) == line; }, 2000);
        return popup;
    }

    void Command(HWND popup, UINT id) { PostMessageA(popup, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    // Answers the message box that must come next and returns its text.
    std::string AnswerMessageBox() {
        HWND box = WaitAppMessageBox(pikora_.Pid());
        if (box == nullptr) {
            return "<no message box>";
        }
        const std::string text = StaticTextsOf(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 3000);
        return text;
    }

    // A popup other than `old` (a rebuilt one), or nullptr.
    HWND WaitReopened(HWND old) {
        HWND popup = nullptr;
        WaitUntil(
            [&] {
                popup = FindPopup(pikora_.Pid());
                return popup != nullptr && popup != old && IsWindowVisible(popup);
            },
            3000);
        return popup;
    }

    void Close(HWND popup) {
        WaitPopupFocused(popup);
        PressKey(VK_ESCAPE);
        EXPECT_TRUE(WaitPopupGone(pikora_.Pid())) << "popup " << popup << " stayed open";
    }
};

TEST_F(PikoraItemDialogs, EditWithOkRewritesTheEntryAndReopensThePopupOnItsLine) {
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(
        SettingIni({{"NoKeyClear", "0"}, {"SelectSW", "0"}}),
        {Normal("n0", "t0"), Normal("n1", "t1"), Normal("n2", "t2"), Normal("n3", "t3")}));
    HWND popup = OpenPopupOnLine(3);
    ASSERT_NE(popup, nullptr);
    // Through the popup's own menu: Alt, then the item's letter.
    PressKey(VK_MENU);
    PressKey('E');
    HWND edit = WaitDialogOf(pikora_.Pid(), kEditCaption);
    ASSERT_NE(edit, nullptr) << DescribeWindowsOf(pikora_.Pid());
    EXPECT_EQ(ItemText(edit, kEditName), "n3");
    EXPECT_EQ(ItemText(edit, kEditText), "t3");
    HWND kind = GetDlgItem(edit, kEditKind);
    EXPECT_EQ(ComboItems(kind), (Strings{"ノーマル", "ロック"}));
    EXPECT_EQ(TextOf(kind), "ノーマル") << Utf8(TextOf(kind));
    EXPECT_EQ(ComboSelection(kind), -1) << "the kind must not be picked before the user does";
    HWND templates = GetDlgItem(edit, kEditTemplates);
    EXPECT_EQ(ComboItems(templates), kTemplateLabels);
    EXPECT_EQ(ComboSelection(templates), 0);

    SetItemText(edit, kEditName, "名前3");
    SetItemText(edit, kEditText, "本文\r\n二行目");
    SendMessageW(kind, CB_SETCURSEL, 1, 0);
    ClickButton(edit, IDOK);
    ASSERT_TRUE(WaitDialogGone(pikora_.Pid(), kEditCaption));

    HWND reopened = WaitReopened(popup);
    ASSERT_NE(reopened, nullptr) << "the popup was not built again";
    EXPECT_EQ(PopupLines(reopened), (Strings{"n0", "n1", "n2", "名前3"}));
    EXPECT_EQ(PopupSelection(reopened), 3);
    Close(reopened);

    const auto dat = DatAfterExit();
    ASSERT_TRUE(dat.has_value());
    ASSERT_EQ(dat->size(), 4u) << DescribeEntries(*dat);
    EXPECT_EQ((*dat)[3], Locked("名前3", "本文\r\n二行目")) << DescribeEntries(*dat);
    EXPECT_EQ((*dat)[2], Normal("n2", "t2"));
}

TEST_F(PikoraItemDialogs, EditCancelChangesNothingAndOkWithoutAPickKeepsTheKind) {
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({{"NoKeyClear", "0"}, {"SelectSW", "0"}}),
                                             {Normal("n0", "t0"), Locked("l1", "t1")}));
    HWND popup = OpenPopupOnLine(1);
    ASSERT_NE(popup, nullptr);
    Command(popup, kIdItemEdit);
    HWND edit = WaitDialogOf(pikora_.Pid(), kEditCaption);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(edit, kEditKind)), "ロック");
    SetItemText(edit, kEditName, "changed");
    ClickButton(edit, IDCANCEL);
    ASSERT_TRUE(WaitDialogGone(pikora_.Pid(), kEditCaption));
    ASSERT_EQ(WaitForFocusedPopup(pikora_.Pid()), popup) << "Cancel must leave the popup as it was";
    EXPECT_EQ(PopupLines(popup), (Strings{"n0", "l1"}));

    // Now line 0, a normal entry: OK with the kind field untouched.
    PressKey(VK_UP);
    ASSERT_TRUE(WaitUntil([&] { return PopupSelection(popup) == 0; }, 2000));
    Command(popup, kIdItemEdit);
    edit = WaitDialogOf(pikora_.Pid(), kEditCaption);
    ASSERT_NE(edit, nullptr);
    SetItemText(edit, kEditName, "");  // an empty name is accepted here
    ClickButton(edit, IDOK);
    ASSERT_TRUE(WaitDialogGone(pikora_.Pid(), kEditCaption));
    HWND reopened = WaitReopened(popup);
    ASSERT_NE(reopened, nullptr);
    Close(reopened);

    const auto dat = DatAfterExit();
    ASSERT_TRUE(dat.has_value());
    EXPECT_EQ(*dat, (std::vector<DatEntry>{Normal("", "t0"), Locked("l1", "t1")}))
        << DescribeEntries(*dat);
}

TEST_F(PikoraItemDialogs, LockAndMakeNormalChangeTheKindInPlace) {
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({{"NoKeyClear", "0"}, {"SelectSW", "0"}}),
                                             {Locked("l0", "a"), Normal("n1", "b")}));
    HWND popup = OpenPopupOnLine(1);
    ASSERT_NE(popup, nullptr);
    Command(popup, kIdItemLock);
    PressKey(VK_UP);
    ASSERT_TRUE(WaitUntil([&] { return PopupSelection(popup) == 0; }, 2000));
    Command(popup, kIdItemNormal);
    Sleep(300);
    ASSERT_EQ(FindPopup(pikora_.Pid()), popup) << "the popup must stay open";
    EXPECT_EQ(PopupSelection(popup), 0);
    Close(popup);

    const auto dat = DatAfterExit();
    ASSERT_TRUE(dat.has_value());
    EXPECT_EQ(*dat, (std::vector<DatEntry>{Normal("l0", "a"), Locked("n1", "b")}))
        << DescribeEntries(*dat);
}

TEST_F(PikoraItemDialogs, AddFromThePopupStacksBelowTheSelectedLineAndRefusesBlanks) {
    ASSERT_NO_FATAL_FAILURE(
        StartWithNotepad(SettingIni({{"NoKeyClear", "0"}, {"SelectSW", "0"}}),
                         {Locked("0", "a"), Locked("1", "b"), Locked("2", "c")}));
    HWND popup = OpenPopupOnLine(1);
    ASSERT_NE(popup, nullptr);
    Command(popup, kIdListAddData);
    HWND add = WaitDialogOf(pikora_.Pid(), kAddCaption);
    ASSERT_NE(add, nullptr) << DescribeWindowsOf(pikora_.Pid());

    // A text without a name is refused and both boxes keep what they hold.
    SetItemText(add, kAddText, "text only");
    ClickButton(add, kAddButton);
    EXPECT_EQ(AnswerMessageBox(), "タイトルか文章が空白です。");
    EXPECT_EQ(ItemText(add, kAddText), "text only");
    EXPECT_EQ(ItemText(add, kAddName), "");
    // So is a name without a text.
    SetItemText(add, kAddText, "");
    SetItemText(add, kAddName, "name only");
    ClickButton(add, kAddButton);
    EXPECT_EQ(AnswerMessageBox(), "タイトルか文章が空白です。");
    EXPECT_EQ(ItemText(add, kAddName), "name only");
    EXPECT_EQ(ItemText(add, kAddText), "");

    SetItemText(add, kAddName, "挨拶");
    SetItemText(add, kAddText, "こんにちは");
    ClickButton(add, kAddButton);
    EXPECT_EQ(AnswerMessageBox(), "挨拶を追加しました。");
    EXPECT_EQ(ItemText(add, kAddName), "") << "the boxes are emptied for the next one";
    EXPECT_EQ(ItemText(add, kAddText), "");
    // Blanks are content.
    SetItemText(add, kAddName, " ");
    SetItemText(add, kAddText, " ");
    ClickButton(add, kAddButton);
    EXPECT_EQ(AnswerMessageBox(), " を追加しました。");
    ClickButton(add, kCloseButton);
    ASSERT_TRUE(WaitDialogGone(pikora_.Pid(), kAddCaption));

    HWND reopened = WaitReopened(popup);
    ASSERT_NE(reopened, nullptr) << "the popup was not built again";
    EXPECT_EQ(PopupLines(reopened), (Strings{"0", "1", " ", "挨拶", "2"}));
    EXPECT_EQ(PopupSelection(reopened), 1);
    Close(reopened);
    const auto dat = DatAfterExit();
    ASSERT_TRUE(dat.has_value());
    ASSERT_EQ(dat->size(), 5u);
    EXPECT_EQ((*dat)[3], Locked("挨拶", "こんにちは"));
}

TEST_F(PikoraItemDialogs, TrayAddPutsNewPhrasesOnTopAndTemplatesGoInWithoutTouchingTheClipboard) {
    ASSERT_NO_FATAL_FAILURE(
        StartWithNotepad(SettingIni({{"NoKeyClear", "0"}}), {Locked("old", "o")}));
    ASSERT_TRUE(SetClipboardText("on the clipboard"));
    ASSERT_TRUE(pikora_.PostCommand(kIdAddData));
    HWND add = WaitDialogOf(pikora_.Pid(), kAddCaption);
    ASSERT_NE(add, nullptr) << DescribeWindowsOf(pikora_.Pid());
    HWND templates = GetDlgItem(add, kAddTemplates);
    EXPECT_EQ(ComboItems(templates), kTemplateLabels);
    EXPECT_EQ(ComboSelection(templates), 0);

    // The body replaces the selection, exactly as stored, tags and all.
    SetItemText(add, kAddText, "[x]");
    SendMessageA(GetDlgItem(add, kAddText), EM_SETSEL, 1, 2);
    ClickButton(add, kAddTemplateInsert);
    ASSERT_TRUE(WaitUntil(
        [&] { return ItemText(add, kAddText) == "[<pikoraMACRO>$Y/$M/$D</pikoraMACRO>]"; }, 2000))
        << Utf8(ItemText(add, kAddText));
    SendMessageW(templates, CB_SETCURSEL, 8, 0);
    SendMessageA(GetDlgItem(add, kAddText), EM_SETSEL, 0, 0);
    ClickButton(add, kAddTemplateInsert);
    ASSERT_TRUE(WaitUntil(
        [&] {
            return ItemText(add, kAddText) ==
                   "<pikoraMACRO>$RELATE<ファイル名>$RELATE </pikoraMACRO>"
                   "[<pikoraMACRO>$Y/$M/$D</pikoraMACRO>]";
        },
        2000))
        << Utf8(ItemText(add, kAddText));
    EXPECT_EQ(GetClipboardText().value_or("<none>"), "on the clipboard");

    SetItemText(add, kAddName, "A");
    ClickButton(add, kAddButton);
    EXPECT_EQ(AnswerMessageBox(), "Aを追加しました。");
    SetItemText(add, kAddName, "B");
    SetItemText(add, kAddText, "b");
    ClickButton(add, kAddButton);
    EXPECT_EQ(AnswerMessageBox(), "Bを追加しました。");
    PostMessageA(add, WM_COMMAND, IDCANCEL, 0);  // Escape and the close box
    ASSERT_TRUE(WaitDialogGone(pikora_.Pid(), kAddCaption));

    // While a popup is open, the tray's command does nothing.
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(add); }, 3000));
    // Back in the application, as a user would be before the next Alt+X.
    ASSERT_TRUE(notepad_->Focus());
    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(pikora_.PostCommand(kIdAddData));
    Sleep(500);
    EXPECT_EQ(FindDialogOf(pikora_.Pid(), kAddCaption), nullptr);
    EXPECT_EQ(PopupLines(popup), (Strings{"B", "A", "old"}));
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitPopupGone(pikora_.Pid()));

    const auto dat = DatAfterExit();
    ASSERT_TRUE(dat.has_value());
    ASSERT_EQ(dat->size(), 3u);
    EXPECT_EQ((*dat)[1].title, "A");
    EXPECT_EQ((*dat)[1].kind, 1);
}

// Nothing waits for the exit: a kill loses neither the added entry nor the
// pasted one's move to the top, which comes after the paste's own save.
TEST_F(PikoraItemDialogs, AnAddedEntryAndAPastedOnesMoveAreOnDiskBeforeAnyExit) {
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(
        SettingIni({{"UseItemMoveTop", "1"}, {"SelectSW", "1"}, {"SelectID", "0"}}),
        {Locked("old", "o"), Locked("pasted", "p")}));
    ASSERT_TRUE(pikora_.PostCommand(kIdAddData));
    HWND add = WaitDialogOf(pikora_.Pid(), kAddCaption);
    ASSERT_NE(add, nullptr);
    SetItemText(add, kAddName, "new");
    SetItemText(add, kAddText, "n");
    ClickButton(add, kAddButton);
    EXPECT_EQ(AnswerMessageBox(), "newを追加しました。");
    PostMessageA(add, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitDialogGone(pikora_.Pid(), kAddCaption));

    ASSERT_TRUE(notepad_->Focus());
    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return PopupSelection(popup) == 2; }, 2000));
    PressKey(VK_RETURN);
    ASSERT_TRUE(notepad_->WaitForText("abp")) << Utf8(notepad_->Text());

    const std::vector<DatEntry> expected = {Locked("pasted", "p"), Locked("new", "n"),
                                            Locked("old", "o")};
    const bool saved = WaitUntil(
        [&] {
            const auto bytes = pikora_.ReadDat();
            const auto entries = bytes ? CompleteDatEntries(*bytes) : std::nullopt;
            return entries && *entries == expected;
        },
        5000);
    pikora_.Terminate();
    ASSERT_TRUE(pikora_.WaitExit(5000));
    EXPECT_TRUE(saved) << DescribeDat(pikora_.ReadDat());
}

TEST_F(PikoraItemDialogs, FileNameButtonInsertsTheChosenPathAndKeepsAPictureOnTheClipboard) {
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({}), {Locked("old", "o")}));
    const std::string file = pikora_.Folder() + "\\my notes.txt";
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    ASSERT_TRUE(SetClipboardDib(4, 4, RGB(200, 10, 10)));
    ASSERT_TRUE(pikora_.PostCommand(kIdAddData));
    HWND add = WaitDialogOf(pikora_.Pid(), kAddCaption);
    ASSERT_NE(add, nullptr);
    SetItemText(add, kAddText, "see: ");
    SendMessageA(GetDlgItem(add, kAddText), EM_SETSEL, 5, 5);
    ClickButton(add, kAddFileNameInsert);

    // The common open dialog: type the name into its file-name box and open.
    HWND open = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND w : TopLevelWindowsOf(pikora_.Pid())) {
                if (w != add && IsWindowVisible(w) && ClassNameOf(w) == "#32770") {
                    open = w;
                    return true;
                }
            }
            return false;
        },
        5000))
        << DescribeWindowsOf(pikora_.Pid());
    HWND nameBox = GetDlgItem(open, 0x047c);  // the file-name combo (cmb13)
    if (nameBox == nullptr) {
        nameBox = GetDlgItem(open, 0x0480);  // or the plain edit (edt1)
    }
    ASSERT_NE(nameBox, nullptr) << DescribeWindow(open);
    SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
    PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(open, IDOK)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(open); }, 5000));
    ASSERT_TRUE(WaitUntil([&] { return ItemText(add, kAddText) == "see: " + file; }, 2000))
        << Utf8(ItemText(add, kAddText));
    EXPECT_TRUE(ClipboardHasFormat(CF_DIB)) << "the picture on the clipboard was lost";
    ClickButton(add, kCloseButton);
    ASSERT_TRUE(WaitDialogGone(pikora_.Pid(), kAddCaption));
}

TEST_F(PikoraItemDialogs, TemplatesAreReadAtEachOpeningUpToTheFirstEmptySlot) {
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({}), {Locked("old", "o")}));
    // While Pikora runs, the user empties slot 3 and fills slot 11.
    const std::string ini = pikora_.IniPath();
    ASSERT_TRUE(WritePrivateProfileStringA("Macro", "MacroTemplate_03", "", ini.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Macro", "MacroTemplate_11", "late@never", ini.c_str()));
    ASSERT_TRUE(pikora_.PostCommand(kIdAddData));
    HWND add = WaitDialogOf(pikora_.Pid(), kAddCaption);
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(ComboItems(GetDlgItem(add, kAddTemplates)), (Strings{"西暦4桁", "和暦"}));
    ClickButton(add, kCloseButton);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(add); }, 3000));

    // Slot 3 as a value without "@": an empty label that inserts it all.
    ASSERT_TRUE(
        WritePrivateProfileStringA("Macro", "MacroTemplate_03", "no at sign <x>", ini.c_str()));
    ASSERT_TRUE(pikora_.PostCommand(kIdAddData));
    add = WaitDialogOf(pikora_.Pid(), kAddCaption);
    ASSERT_NE(add, nullptr);
    HWND templates = GetDlgItem(add, kAddTemplates);
    const Strings labels = ComboItems(templates);
    ASSERT_EQ(labels.size(), 9u) << "slots after the gap at 10 must not be offered";
    EXPECT_EQ(labels[2], "");
    SendMessageW(templates, CB_SETCURSEL, 2, 0);
    ClickButton(add, kAddTemplateInsert);
    EXPECT_TRUE(WaitUntil([&] { return ItemText(add, kAddText) == "no at sign <x>"; }, 2000))
        << Utf8(ItemText(add, kAddText));
    ClickButton(add, kCloseButton);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(add); }, 3000));
}

TEST_F(PikoraItemDialogs, EditRefusesANameOverTheLimitAndKeepsTheDialogOpen) {
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({{"NoKeyClear", "0"}, {"SelectSW", "0"}}),
                                             {Locked("l0", "t0")}));
    HWND popup = OpenPopupOnLine(0);
    ASSERT_NE(popup, nullptr);
    Command(popup, kIdItemEdit);
    HWND edit = WaitDialogOf(pikora_.Pid(), kEditCaption);
    ASSERT_NE(edit, nullptr);
    // Typing stops at the limit; a text put in from outside can pass it.
    SetItemText(edit, kEditName, std::string(257, 'n'));
    ClickButton(edit, IDOK);
    EXPECT_EQ(AnswerMessageBox(), "256 文字以内で入力してください。");
    ASSERT_NE(FindDialogOf(pikora_.Pid(), kEditCaption), nullptr) << "the dialog closed";
    SetItemText(edit, kEditName, std::string(256, 'n'));
    ClickButton(edit, IDOK);
    ASSERT_TRUE(WaitDialogGone(pikora_.Pid(), kEditCaption));
    HWND reopened = WaitReopened(popup);
    ASSERT_NE(reopened, nullptr);
    Close(reopened);
    const auto dat = DatAfterExit();
    ASSERT_TRUE(dat.has_value());
    ASSERT_EQ(dat->size(), 1u);
    EXPECT_EQ((*dat)[0].title, std::string(256, 'n'));
}

TEST_F(PikoraItemDialogs, ALongTextPastedIntoTheTextBoxArrivesWhole) {
    ASSERT_NO_FATAL_FAILURE(
        StartWithNotepad(SettingIni({{"NoKeyClear", "0"}, {"StopRun", "1"}}), {}));
    // Far more than the 32,767 characters an edit control takes by default.
    std::string longText;
    int lines = 0;
    for (; longText.size() < 100000; ++lines) {
        longText += "line " + std::to_string(lines) + " 長い文章の行です。\r\n";
    }
    ASSERT_TRUE(SetClipboardText(longText));
    ASSERT_TRUE(pikora_.PostCommand(kIdAddData));
    HWND add = WaitDialogOf(pikora_.Pid(), kAddCaption);
    ASSERT_NE(add, nullptr);
    // The user clicks into the text box and presses Ctrl+V.
    HWND textBox = GetDlgItem(add, kAddText);
    RECT box{};
    GetWindowRect(textBox, &box);
    Click(POINT{(box.left + box.right) / 2, (box.top + box.bottom) / 2});
    // Wine hands another process no text of this length, so the paste is
    // watched through the line count (the text ends with a line break).
    const auto pasted = [&] { return SendMessageA(textBox, EM_GETLINECOUNT, 0, 0) == lines + 1; };
    PressChordInto(textBox, {VK_CONTROL}, 'V', 300, pasted);
    EXPECT_TRUE(WaitUntil(pasted, 5000))
        << SendMessageA(textBox, EM_GETLINECOUNT, 0, 0) << " lines";
    SetItemText(add, kAddName, "long");
    ClickButton(add, kAddButton);
    EXPECT_EQ(AnswerMessageBox(), "longを追加しました。");
    ClickButton(add, kCloseButton);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(add); }, 3000));
    const auto dat = DatAfterExit();
    ASSERT_TRUE(dat.has_value());
    ASSERT_EQ(dat->size(), 1u);
    EXPECT_EQ((*dat)[0].text.size(), longText.size());
    EXPECT_TRUE((*dat)[0].text == longText);
}

TEST_F(PikoraItemDialogs, ClearingNormalEntriesFromTheTrayWaitsUntilThePopupIsClosed) {
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({{"NoKeyClear", "0"}, {"SelectSW", "0"}}),
                                             {Normal("n0", "t0"), Locked("l1", "t1")}));
    HWND popup = OpenPopupOnLine(0);
    ASSERT_NE(popup, nullptr);
    Command(popup, kIdItemEdit);
    HWND edit = WaitDialogOf(pikora_.Pid(), kEditCaption);
    ASSERT_NE(edit, nullptr);
    // The tray's "ノーマル項目をクリア(&C)" while the entry is being edited:
    // posted to the same thread before the OK click, so handled before it.
    ASSERT_TRUE(pikora_.PostCommand(kIdClearNormal));
    SetItemText(edit, kEditName, "edited");
    ClickButton(edit, IDOK);
    ASSERT_TRUE(WaitDialogGone(pikora_.Pid(), kEditCaption));
    HWND reopened = WaitReopened(popup);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(PopupLines(reopened), (Strings{"edited", "l1"}));
    Close(reopened);

    // With the popup closed the same command clears (before the exit posted
    // after it).
    ASSERT_TRUE(pikora_.PostCommand(kIdClearNormal));
    const auto dat = DatAfterExit();
    ASSERT_TRUE(dat.has_value());
    EXPECT_EQ(*dat, (std::vector<DatEntry>{Locked("l1", "t1")})) << DescribeEntries(*dat);
}

}  // namespace
