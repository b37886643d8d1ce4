// The settings dialog "設定": what it shows, what OK stores in Pikora.ini and
// puts into effect (hotkeys, transparency, offsets, sound file), and that
// Cancel, Escape and a refused OK leave both the settings and the file alone.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "support/common.h"
#include "support/hotkey.h"
#include "support/ini_file.h"
#include "support/input.h"
#include "support/pikora_process.h"
#include "support/process_windows.h"
#include "support/thread_spy.h"
#include "support/tray.h"
#include "support_popup.h"

namespace {

using namespace e2e;

// Controls of the dialog.
constexpr int kToClip = 1001;
constexpr int kNoKeyClear = 1003;
constexpr int kSakiire = 1004;
constexpr int kStopRun = 1005;
constexpr int kCaretX = 1006;
constexpr int kCaretY = 1007;
constexpr int kNormalDelete = 1008;
constexpr int kHistoryHotkey = 1020;
constexpr int kPopupHotkey = 1021;
constexpr int kRirekiWave = 1022;
constexpr int kWaveName = 1023;
constexpr int kBrowse = 1024;
constexpr int kUseItemMoveTop = 1025;
constexpr int kQuote = 1026;
constexpr int kCopyPopup = 1031;
constexpr int kAlphaSlider = 1032;
constexpr int kSelectSw = 1033;
constexpr int kWordBugSw = 1034;
// The file-name box and the file-type list of the open-file dialog.
constexpr int kFileNameBox = 0x47C;
constexpr int kFileTypeList = 0x470;

// The ninth and last macro template a first start writes into [Macro].
const char kLastDefaultTemplate[] = "MacroTemplate_09";

const char kPopupHotkeyFailed[] = "ホットキーの設定に失敗 ポップアップキー";
const char kHistoryHotkeyFailed[] =
    "履歴動作切り替え用キーの設定に失敗しました。設定を変えてください。";

// --- Pikora's windows -------------------------------------------------------

bool IsSettingsDialog(HWND hwnd) {
    HWND hotkey = GetDlgItem(hwnd, kPopupHotkey);
    return ClassNameOf(hwnd) == "#32770" && hotkey != nullptr &&
           ClassNameOf(hotkey) == "msctls_hotkey32";
}

int CountSettingsDialogs(DWORD pid) {
    int count = 0;
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        if (IsWindowVisible(hwnd) && IsSettingsDialog(hwnd)) {
            ++count;
        }
    }
    return count;
}

HWND FindSettingsDialog(DWORD pid) {
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        if (IsWindowVisible(hwnd) && IsSettingsDialog(hwnd)) {
            return hwnd;
        }
    }
    return nullptr;
}

// A message box of the program: the caption is the application title, and
// it is neither the settings dialog nor the popup nor a file dialog.
HWND FindAppBox(DWORD pid) {
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        if (IsWindowVisible(hwnd) && ClassNameOf(hwnd) == "#32770" && TextOf(hwnd) == "Pikora" &&
            !IsSettingsDialog(hwnd) && GetDlgItem(hwnd, kPopupListId) == nullptr) {
            return hwnd;
        }
    }
    return nullptr;
}

HWND FindFileDialog(DWORD pid) {
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        if (IsWindowVisible(hwnd) && ClassNameOf(hwnd) == "#32770" &&
            GetDlgItem(hwnd, kFileNameBox) != nullptr) {
            return hwnd;
        }
    }
    return nullptr;
}

// --- The dialog's controls ---------------------------------------------------

HWND Item(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}

WORD HotkeyOf(HWND dialog, int id) {
    return static_cast<WORD>(SendMessageA(Item(dialog, id), HKM_GETHOTKEY, 0, 0));
}

void SetHotkey(HWND dialog, int id, BYTE vk, BYTE hotkeyFlags) {
    SendMessageA(Item(dialog, id), HKM_SETHOTKEY, MAKEWORD(vk, hotkeyFlags), 0);
}

int SliderPos(HWND dialog) {
    return static_cast<int>(SendMessageA(Item(dialog, kAlphaSlider), TBM_GETPOS, 0, 0));
}

void SetSliderPos(HWND dialog, int position) {
    SendMessageA(Item(dialog, kAlphaSlider), TBM_SETPOS, TRUE, position);
}

bool Checked(HWND dialog, int id) {
    return SendMessageA(Item(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string ItemText(HWND dialog, int id) {
    return TextOf(Item(dialog, id));
}

void SetItemText(HWND dialog, int id, const std::string& cp932) {
    SendMessageW(Item(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(cp932).c_str()));
}

// A real mouse click on the control.
void ClickItem(HWND dialog, int id) {
    // A click on a dialog that a nested one (the file dialog) has not yet
    // given back its input would be lost.
    WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }, 3000);
    // So may one whose press meets a late focus change: Wine's X11 driver
    // takes the window system's focus events only when the dialog's thread
    // next waits for messages, and a focus loss there cancels the button's
    // capture between press and release. A button is clicked by BM_CLICK,
    // whose press and release the button makes within one message; other
    // controls get a real click after round trips through that thread, which
    // let what it has queued come first.
    HWND item = Item(dialog, id);
    if (ClassNameOf(item) == "Button") {
        PostMessageW(item, BM_CLICK, 0, 0);
        return;
    }
    DWORD_PTR result = 0;
    for (int i = 0; i < 3; ++i) {
        SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    }
    Click(CenterOf(item));
}

// The check boxes in the order of the dialog, with their states.
std::map<int, bool> CheckStates(HWND dialog) {
    std::map<int, bool> states;
    for (int id : {kToClip, kNoKeyClear, kNormalDelete, kSakiire, kStopRun, kRirekiWave,
                   kUseItemMoveTop, kCopyPopup, kSelectSw, kWordBugSw}) {
        states[id] = Checked(dialog, id);
    }
    return states;
}

std::map<std::string, std::string> SettingValues(const std::string& ini) {
    return IniValues(IniSection(ini, "Setting"));
}

// --- Fixture ----------------------------------------------------------------

class PikoraSettings : public PikoraTest {
  protected:
    // Starts Pikora; the INI file it writes on its first run is waited for.
    // The start writes the settings and then the macro templates, one key at
    // a time: the last default template ends it, and a test that takes the
    // file as its "before" must not take it halfway.
    void StartWith(const std::optional<std::string>& ini = std::nullopt) {
        PikoraSeed seed;
        seed.ini = ini;
        ASSERT_NO_FATAL_FAILURE(StartPikora(seed));
        ASSERT_TRUE(WaitUntil(
            [&] {
                const auto bytes = pikora_.ReadIni();
                return bytes && SettingValue(*bytes, "InyouChar").has_value() &&
                       IniValues(IniSection(*bytes, "Macro")).count(kLastDefaultTemplate) != 0;
            },
            5000))
            << "Pikora.ini was not written:\n"
            << Ini();
    }

    // The dialog as "設定(&O)" opens it; nullptr (and a failure) when it does
    // not appear.
    HWND OpenSettings() {
        EXPECT_TRUE(pikora_.PostCommand(kIdSettings));
        return WaitSettings();
    }

    HWND WaitSettings() {
        HWND dialog = nullptr;
        if (!WaitUntil([&] { return (dialog = FindSettingsDialog(pikora_.Pid())) != nullptr; },
                       3000)) {
            ADD_FAILURE() << "no settings dialog; Pikora's windows:\n"
                          << DescribeWindowsOf(pikora_.Pid());
        }
        return dialog;
    }

    bool WaitSettingsGone() {
        return WaitUntil([&] { return FindSettingsDialog(pikora_.Pid()) == nullptr; }, 3000);
    }

    // The hotkeys are registered after the dialog has gone. Probing a
    // combination while Pikora is about to take it would make its
    // registration fail, so wait until its thread is back in its loop.
    void SettleAfterDialog() {
        ASSERT_TRUE(WaitSettingsGone()) << DescribeWindowsOf(pikora_.Pid());
        ASSERT_TRUE(pikora_.Sync()) << "Pikora's thread did not come back to its loop";
    }

    // The box's text, after closing it with OK; empty when none came.
    std::string TakeAppBox(DWORD timeoutMs = 3000) {
        HWND box = nullptr;
        if (!WaitUntil([&] { return (box = FindAppBox(pikora_.Pid())) != nullptr; }, timeoutMs)) {
            return std::string();
        }
        const std::string text = StaticTextsOf(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 3000);
        return text;
    }

    std::string Ini() { return pikora_.ReadIni().value_or("(no Pikora.ini)"); }

    // Pikora.ini once every key of `expected` holds its value, or as it is
    // after 3 s: the file is written after the dialog has gone.
    std::string WaitIni(const std::map<std::string, std::string>& expected) {
        std::string ini;
        WaitUntil(
            [&] {
                ini = Ini();
                for (const auto& [key, value] : expected) {
                    if (SettingValue(ini, key) != value) {
                        return false;
                    }
                }
                return true;
            },
            3000);
        return ini;
    }

    // A failed test may leave a dialog open: close everything before the exit.
    void TearDown() override {
        if (pikora_.Running()) {
            for (int i = 0; i < 4; ++i) {
                if (HWND box = FindAppBox(pikora_.Pid())) {
                    PostMessageA(box, WM_COMMAND, IDOK, 0);
                } else if (HWND file = FindFileDialog(pikora_.Pid())) {
                    PostMessageA(file, WM_COMMAND, IDCANCEL, 0);
                } else if (HWND popup = FindPopup(pikora_.Pid())) {
                    PostMessageA(popup, WM_COMMAND, IDCANCEL, 0);
                } else if (HWND dialog = FindSettingsDialog(pikora_.Pid())) {
                    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                } else {
                    break;
                }
                Sleep(300);
            }
        }
        PikoraTest::TearDown();
    }
};

// --- What the dialog shows ---------------------------------------------------

TEST_F(PikoraSettings, TheTrayMenuOpensTheDialogWithTheDefaultsAndCancelGivesTheHotkeysBack) {
    ASSERT_NO_FATAL_FAILURE(StartWith());
    ThreadSpy spy(pikora_.Pid(), pikora_.ThreadId());
    ASSERT_TRUE(spy.Ok()) << spy.Error();
    ASSERT_TRUE(OpenTrayMenu(spy, pikora_.Frame()).has_value());
    PressKey('O');
    ASSERT_TRUE(spy.WaitMenuLoop(false));
    HWND dialog = WaitSettings();
    ASSERT_NE(dialog, nullptr);

    EXPECT_EQ(Utf8(TextOf(dialog)), Utf8("設定"));
    // Owned like every other dialog: no taskbar button of its own.
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), pikora_.Frame());
    EXPECT_EQ(HotkeyOf(dialog, kPopupHotkey), MAKEWORD('X', HOTKEYF_ALT));
    EXPECT_EQ(HotkeyOf(dialog, kHistoryHotkey), MAKEWORD('Z', HOTKEYF_ALT));
    EXPECT_EQ(ItemText(dialog, kCaretX), "-20");
    EXPECT_EQ(ItemText(dialog, kCaretY), "20");
    EXPECT_EQ(ItemText(dialog, kWaveName), "pu.wav");
    EXPECT_EQ(ItemText(dialog, kQuote), ">");
    EXPECT_EQ(SliderPos(dialog), 55);
    EXPECT_EQ(SendMessageA(Item(dialog, kAlphaSlider), TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessageA(Item(dialog, kAlphaSlider), TBM_GETRANGEMAX, 0, 0), 230);
    EXPECT_EQ(SendMessageA(Item(dialog, kCaretX), EM_GETLIMITTEXT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(Item(dialog, kCaretY), EM_GETLIMITTEXT, 0, 0), 3);
    const std::map<int, bool> expected{
        {kToClip, false},  {kNoKeyClear, true}, {kNormalDelete, true},    {kSakiire, true},
        {kStopRun, true},  {kRirekiWave, true}, {kUseItemMoveTop, false}, {kCopyPopup, true},
        {kSelectSw, true}, {kWordBugSw, false},
    };
    EXPECT_EQ(CheckStates(dialog), expected);

    // While the dialog is open the two hotkeys are free, so that pressing them
    // reaches its hotkey controls.
    EXPECT_FALSE(HotkeyTaken(MOD_ALT, 'X')) << "the popup hotkey is still registered";
    EXPECT_FALSE(HotkeyTaken(MOD_ALT, 'Z')) << "the history hotkey is still registered";

    const std::string before = Ini();
    ClickItem(dialog, IDCANCEL);
    ASSERT_NO_FATAL_FAILURE(SettleAfterDialog());
    EXPECT_EQ(Ini(), before);
    EXPECT_TRUE(HotkeyTaken(MOD_ALT, 'X')) << "the popup hotkey was not registered again";
    EXPECT_TRUE(HotkeyTaken(MOD_ALT, 'Z')) << "the history hotkey was not registered again";
    EXPECT_EQ(FindAppBox(pikora_.Pid()), nullptr) << "an unexpected message";
}

// --- What OK stores ------------------------------------------------------------

TEST_F(PikoraSettings, ANewPopupHotkeyIsStoredAndOpensThePopupWhileTheOldOneIsReleased) {
    ASSERT_NO_FATAL_FAILURE(StartWith());
    const auto before = SettingValues(Ini());
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);

    // Ctrl+Shift+P typed into the popup's hotkey control as a user does it.
    ClickItem(dialog, kPopupHotkey);
    PressChord({VK_CONTROL, VK_SHIFT}, 'P');
    ASSERT_EQ(HotkeyOf(dialog, kPopupHotkey), MAKEWORD('P', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
    // Alt+Home, which the control reports with the extended-key flag: that
    // flag is no modifier of the hotkey.
    SetHotkey(dialog, kHistoryHotkey, VK_HOME, HOTKEYF_ALT | HOTKEYF_EXT);
    // The offsets are read as numbers up to the first other character.
    SetItemText(dialog, kCaretX, "12a");
    SetItemText(dialog, kCaretY, "");
    SetItemText(dialog, kQuote, "＞");
    ClickItem(dialog, IDOK);
    ASSERT_NO_FATAL_FAILURE(SettleAfterDialog());
    EXPECT_EQ(FindAppBox(pikora_.Pid()), nullptr) << "an unexpected message";

    // What was changed, and nothing else.
    auto expected = before;
    expected["PouupKey"] = "80";
    expected["PouupMod"] = "6";
    expected["RirekiKey"] = "36";
    expected["RirekiMod"] = "1";
    expected["CaretPosX"] = "12";
    expected["CaretPosY"] = "0";
    expected["InyouChar"] = "＞";
    EXPECT_EQ(SettingValues(WaitIni({{"PouupKey", "80"}, {"RirekiKey", "36"}})), expected);

    EXPECT_FALSE(HotkeyTaken(MOD_ALT, 'X')) << "Alt+X still belongs to Pikora";
    EXPECT_FALSE(HotkeyTaken(MOD_ALT, 'Z')) << "Alt+Z still belongs to Pikora";
    EXPECT_TRUE(HotkeyTaken(MOD_ALT, VK_HOME)) << "the new history hotkey is not registered";
    PressChord({VK_CONTROL, VK_SHIFT}, 'P');
    HWND popup = WaitForPopup(pikora_.Pid());
    ASSERT_NE(popup, nullptr) << "Ctrl+Shift+P did not open the popup";
    PostMessageA(popup, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitPopupGone(pikora_.Pid()));

    // The dialog opens with what was stored.
    dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(HotkeyOf(dialog, kPopupHotkey), MAKEWORD('P', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
    EXPECT_EQ(HotkeyOf(dialog, kHistoryHotkey), MAKEWORD(VK_HOME, HOTKEYF_ALT));
    EXPECT_EQ(ItemText(dialog, kCaretX), "12");
    EXPECT_EQ(ItemText(dialog, kCaretY), "0");
    ClickItem(dialog, IDCANCEL);
    EXPECT_TRUE(WaitSettingsGone());
}

TEST_F(PikoraSettings, TheSliderEndsStoreOpacities25And255) {
    ASSERT_NO_FATAL_FAILURE(StartWith());
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    SetSliderPos(dialog, 230);
    ClickItem(dialog, IDOK);
    ASSERT_TRUE(WaitSettingsGone());
    EXPECT_EQ(SettingValue(WaitIni({{"SemitransparentWindow", "25"}}), "SemitransparentWindow"),
              "25");

    dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SliderPos(dialog), 230);
    SetSliderPos(dialog, 0);
    // Another program reading Pikora.ini keeps it from being replaced: the
    // write waits with its finished copy beside it until the reader lets go.
    HANDLE reader =
        CreateFileW(Wide(pikora_.IniPath()).c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    ClickItem(dialog, IDOK);
    const std::wstring copy = Wide(pikora_.IniPath() + ".tmp");
    const bool waited = WaitUntil(
        [&] {
            HANDLE h = CreateFileW(copy.c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
            return h != INVALID_HANDLE_VALUE && CloseHandle(h);
        },
        5000, 5);
    CloseHandle(reader);
    EXPECT_TRUE(waited) << "the write gave up at once";
    ASSERT_TRUE(WaitSettingsGone());
    EXPECT_EQ(SettingValue(WaitIni({{"SemitransparentWindow", "255"}}), "SemitransparentWindow"),
              "255");

    dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SliderPos(dialog), 0);
    ClickItem(dialog, IDCANCEL);
    EXPECT_TRUE(WaitSettingsGone());
}

TEST_F(PikoraSettings, AnOpacityBeyondTheSliderShowsAtItsEndAndOKStoresThatEnd) {
    ASSERT_NO_FATAL_FAILURE(StartWith(SettingIni({{"SemitransparentWindow", "10"}})));
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SliderPos(dialog), 230);
    ClickItem(dialog, IDOK);
    ASSERT_TRUE(WaitSettingsGone());
    EXPECT_EQ(SettingValue(WaitIni({{"SemitransparentWindow", "25"}}), "SemitransparentWindow"),
              "25");
}

TEST_F(PikoraSettings, CheckBoxesAreStoredAsZeroOrOne) {
    // A value other than 0 acts as "on" in the program, and shows so.
    ASSERT_NO_FATAL_FAILURE(StartWith(SettingIni({{"ToClip", "5"}, {"WordBugSW", "1"}})));
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Checked(dialog, kToClip));
    SendMessageA(Item(dialog, kWordBugSw), BM_CLICK, 0, 0);
    SendMessageA(Item(dialog, kUseItemMoveTop), BM_CLICK, 0, 0);
    ClickItem(dialog, kNoKeyClear);  // a real click as well
    ClickItem(dialog, IDOK);
    ASSERT_TRUE(WaitSettingsGone());
    const std::map<std::string, std::string> expected{
        {"ToClip", "1"}, {"WordBugSW", "0"}, {"UseItemMoveTop", "1"}, {"NoKeyClear", "0"}};
    const auto values = SettingValues(WaitIni(expected));
    EXPECT_EQ(values.at("ToClip"), "1");
    EXPECT_EQ(values.at("WordBugSW"), "0");
    EXPECT_EQ(values.at("UseItemMoveTop"), "1");
    EXPECT_EQ(values.at("NoKeyClear"), "0");
}

// --- Leaving without OK ------------------------------------------------------

TEST_F(PikoraSettings, CancelAndEscapeLeaveTheSettingsAndTheFileAsTheyWere) {
    ASSERT_NO_FATAL_FAILURE(StartWith());
    const std::string before = Ini();
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    const std::map<int, bool> shown = CheckStates(dialog);

    for (int id : {kToClip, kNoKeyClear, kSakiire, kWordBugSw}) {
        SendMessageA(Item(dialog, id), BM_CLICK, 0, 0);
    }
    ASSERT_NE(CheckStates(dialog), shown) << "BM_CLICK did not change the check boxes";
    SetHotkey(dialog, kPopupHotkey, 'P', HOTKEYF_CONTROL);
    SetSliderPos(dialog, 200);
    SetItemText(dialog, kCaretX, "5");
    SetItemText(dialog, kQuote, "#");
    ClickItem(dialog, IDCANCEL);
    ASSERT_NO_FATAL_FAILURE(SettleAfterDialog());
    EXPECT_EQ(Hex(Ini()), Hex(before)) << "Cancel changed Pikora.ini";
    EXPECT_TRUE(HotkeyTaken(MOD_ALT, 'X')) << "the old popup hotkey is not in effect";
    EXPECT_FALSE(HotkeyTaken(MOD_CONTROL, 'P')) << "the cancelled hotkey is in effect";

    // Nothing changed in memory either: the dialog shows the old values.
    dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(CheckStates(dialog), shown);
    EXPECT_EQ(HotkeyOf(dialog, kPopupHotkey), MAKEWORD('X', HOTKEYF_ALT));
    EXPECT_EQ(SliderPos(dialog), 55);
    EXPECT_EQ(ItemText(dialog, kCaretX), "-20");
    EXPECT_EQ(ItemText(dialog, kQuote), ">");

    // Escape, from the keyboard.
    SendMessageA(Item(dialog, kCopyPopup), BM_CLICK, 0, 0);
    SetSliderPos(dialog, 10);
    ASSERT_TRUE(SetForegroundWindow(dialog));
    PressKey(VK_ESCAPE);
    ASSERT_NO_FATAL_FAILURE(SettleAfterDialog()) << "Escape did not close the dialog";
    EXPECT_EQ(Hex(Ini()), Hex(before)) << "Escape changed Pikora.ini";
    dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(CheckStates(dialog), shown);
    EXPECT_EQ(SliderPos(dialog), 55);
    // The close box.
    SendMessageA(Item(dialog, kStopRun), BM_CLICK, 0, 0);
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_NO_FATAL_FAILURE(SettleAfterDialog()) << "the close box did not close the dialog";
    EXPECT_EQ(Hex(Ini()), Hex(before)) << "closing the window changed Pikora.ini";
}

// --- The offsets' length ---------------------------------------------------------

TEST_F(PikoraSettings, AFourCharacterOffsetIsShownButOKIsRefusedUntilItIsShortened) {
    ASSERT_NO_FATAL_FAILURE(StartWith(SettingIni({{"CaretPosX", "-100"}})));
    const std::string before = Ini();
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ItemText(dialog, kCaretX), "-100");

    // A refused OK stores nothing, not even what OK reads before the texts.
    SetHotkey(dialog, kPopupHotkey, 'P', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    SetSliderPos(dialog, 230);
    SendMessageA(Item(dialog, kToClip), BM_CLICK, 0, 0);
    ClickItem(dialog, IDOK);
    EXPECT_EQ(Utf8(TakeAppBox()), Utf8("3 文字以内で入力してください。"));
    EXPECT_EQ(FindSettingsDialog(pikora_.Pid()), dialog) << "the dialog did not stay open";
    EXPECT_EQ(Hex(Ini()), Hex(before));
    ClickItem(dialog, IDCANCEL);
    ASSERT_NO_FATAL_FAILURE(SettleAfterDialog());
    EXPECT_EQ(Hex(Ini()), Hex(before));
    EXPECT_TRUE(HotkeyTaken(MOD_ALT, 'X')) << "the old popup hotkey is not in effect";
    EXPECT_FALSE(HotkeyTaken(MOD_CONTROL | MOD_SHIFT, 'P')) << "the refused hotkey is in effect";

    dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(HotkeyOf(dialog, kPopupHotkey), MAKEWORD('X', HOTKEYF_ALT));
    EXPECT_EQ(SliderPos(dialog), 55);
    EXPECT_FALSE(Checked(dialog, kToClip));
    EXPECT_EQ(ItemText(dialog, kCaretX), "-100");
    // Typing stops at three characters.
    ClickItem(dialog, kCaretY);
    SendMessageA(Item(dialog, kCaretY), EM_SETSEL, 0, -1);
    TypeText("1234");
    EXPECT_TRUE(WaitUntil([&] { return ItemText(dialog, kCaretY) == "123"; }, 2000))
        << "the Y field holds '" << ItemText(dialog, kCaretY) << "'";
    ClickItem(dialog, IDOK);
    EXPECT_EQ(Utf8(TakeAppBox()), Utf8("3 文字以内で入力してください。"));
    SetItemText(dialog, kCaretX, "-99");
    ClickItem(dialog, IDOK);
    ASSERT_TRUE(WaitSettingsGone());
    const std::string ini = WaitIni({{"CaretPosX", "-99"}, {"CaretPosY", "123"}});
    EXPECT_EQ(SettingValue(ini, "CaretPosX"), "-99");
    EXPECT_EQ(SettingValue(ini, "CaretPosY"), "123");
}

// --- The sound file ----------------------------------------------------------------

TEST_F(PikoraSettings, BrowsingForTheSoundFileKeepsTheFieldOnCancelAndTakesAChosenFile) {
    ASSERT_NO_FATAL_FAILURE(StartWith());
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    SetItemText(dialog, kWaveName, "typed.wav");

    ClickItem(dialog, kBrowse);
    HWND files = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (files = FindFileDialog(pikora_.Pid())) != nullptr; }, 3000))
        << "no open-file dialog; windows:\n"
        << DescribeWindowsOf(pikora_.Pid());
    EXPECT_EQ(Utf8(ItemText(files, kFileTypeList)), Utf8("WAVEファイル(*.wav)"));
    PostMessageA(files, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return FindFileDialog(pikora_.Pid()) == nullptr; }, 3000));
    EXPECT_EQ(ItemText(dialog, kWaveName), "typed.wav");

    ClickItem(dialog, kBrowse);
    ASSERT_TRUE(
        WaitUntil([&] { return (files = FindFileDialog(pikora_.Pid())) != nullptr; }, 3000));
    SetItemText(files, kFileNameBox, "pu.wav");
    PostMessageA(files, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return FindFileDialog(pikora_.Pid()) == nullptr; }, 3000));
    const std::string chosen = pikora_.Folder() + "\\pu.wav";
    EXPECT_EQ(ItemText(dialog, kWaveName), chosen);
    ClickItem(dialog, IDOK);
    ASSERT_TRUE(WaitSettingsGone());
    EXPECT_EQ(SettingValue(WaitIni({{"WaveName", chosen}}), "WaveName"), chosen);
}

// --- Hotkeys that cannot be used -------------------------------------------------

TEST_F(PikoraSettings, AHotkeyThatCannotBeRegisteredIsReportedAndStillStored) {
    ASSERT_NO_FATAL_FAILURE(StartWith());
    HotkeyBlocker blockPopup(MOD_CONTROL | MOD_SHIFT, 'P');
    HotkeyBlocker blockHistory(MOD_ALT, 'Q');
    ASSERT_TRUE(blockPopup.Ok() && blockHistory.Ok()) << "could not take the keys for the test";

    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    SetHotkey(dialog, kPopupHotkey, 'P', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    SetHotkey(dialog, kHistoryHotkey, 'Q', HOTKEYF_ALT);
    ClickItem(dialog, IDOK);
    EXPECT_EQ(Utf8(TakeAppBox()), Utf8(kPopupHotkeyFailed));
    EXPECT_EQ(Utf8(TakeAppBox()), Utf8(kHistoryHotkeyFailed));
    ASSERT_TRUE(WaitSettingsGone());
    // The choice is kept: the other program may let go of the keys by the
    // next start.
    EXPECT_EQ(SettingValue(Ini(), "PouupKey").value_or("?"), "80");
    EXPECT_EQ(SettingValue(Ini(), "PouupMod").value_or("?"), "6");
    EXPECT_EQ(SettingValue(Ini(), "RirekiKey").value_or("?"), "81");
    EXPECT_EQ(SettingValue(Ini(), "RirekiMod").value_or("?"), "1");
}

TEST_F(PikoraSettings, APopupHotkeyWithoutAKeyIsReportedAndAUsableOneWorksAgain) {
    ASSERT_NO_FATAL_FAILURE(StartWith());
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    // The control emptied: a hotkey nobody can press.
    SetHotkey(dialog, kPopupHotkey, 0, 0);
    ClickItem(dialog, IDOK);
    EXPECT_EQ(Utf8(TakeAppBox()), Utf8(kPopupHotkeyFailed));
    ASSERT_TRUE(WaitSettingsGone());
    EXPECT_EQ(SettingValue(Ini(), "PouupKey").value_or("?"), "0");
    ASSERT_TRUE(pikora_.Sync());
    EXPECT_EQ(FindAppBox(pikora_.Pid()), nullptr) << "a second message";

    dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    SetHotkey(dialog, kPopupHotkey, 'X', HOTKEYF_ALT);
    ClickItem(dialog, IDOK);
    ASSERT_NO_FATAL_FAILURE(SettleAfterDialog());
    EXPECT_EQ(FindAppBox(pikora_.Pid()), nullptr) << "an unexpected message";
    EXPECT_TRUE(HotkeyTaken(MOD_ALT, 'X'));
}

// --- One dialog at a time ------------------------------------------------------

TEST_F(PikoraSettings, TheSettingsCommandWhileTheDialogIsOpenOpensNoSecondOne) {
    ASSERT_NO_FATAL_FAILURE(StartWith());
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    // From the tray menu again, and routed to the dialog itself.
    ASSERT_TRUE(pikora_.PostCommand(kIdSettings));
    PostMessageA(dialog, WM_COMMAND, kIdSettings, 0);
    // A click posted after them to the same thread is handled after them,
    // inside any dialog they might have opened: once the box has turned,
    // such a dialog would be there. The dialog is cancelled afterwards.
    const bool wasChecked = Checked(dialog, kToClip);
    PostMessageA(Item(dialog, kToClip), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return Checked(dialog, kToClip) != wasChecked; }, 5000));
    EXPECT_EQ(CountSettingsDialogs(pikora_.Pid()), 1) << DescribeWindowsOf(pikora_.Pid());
    EXPECT_TRUE(IsWindowVisible(dialog));
    ClickItem(dialog, IDCANCEL);
    ASSERT_TRUE(WaitSettingsGone());
    // Whatever the commands left queued comes before a menu posted now opens.
    ThreadSpy spy(pikora_.Pid(), pikora_.ThreadId());
    ASSERT_TRUE(spy.Ok()) << spy.Error();
    ASSERT_TRUE(OpenTrayMenu(spy, pikora_.Frame()).has_value());
    EXPECT_EQ(CountSettingsDialogs(pikora_.Pid()), 0) << "a queued dialog opened afterwards";
    EXPECT_TRUE(CloseMenuWithEscape(spy));
}

TEST_F(PikoraSettings, APopupRunWhileTheDialogIsOpenLeavesTheHistoryHotkeyToTheDialog) {
    ASSERT_NO_FATAL_FAILURE(StartWith());
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    // A left click on the tray icon runs a popup while the dialog is open.
    PostTrayMouse(pikora_.Frame(), WM_LBUTTONDOWN);
    HWND popup = WaitForPopup(pikora_.Pid());
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    PostMessageA(popup, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitPopupGone(pikora_.Pid()));
    ASSERT_TRUE(pikora_.Sync());
    EXPECT_FALSE(HotkeyTaken(MOD_ALT, 'Z'))
        << "the popup run took the hotkey the dialog's control must receive";
    ClickItem(dialog, IDCANCEL);
    ASSERT_NO_FATAL_FAILURE(SettleAfterDialog());
    EXPECT_TRUE(HotkeyTaken(MOD_ALT, 'Z')) << "the dialog did not give the hotkey back";
}

// --- From the popup list's menu --------------------------------------------------

constexpr UINT kIdListSettings = 32781;

class PikoraSettingsFromPopup : public PikoraWithNotepad {
  protected:
    void TearDown() override {
        if (pikora_.Running()) {
            if (HWND dialog = FindSettingsDialog(pikora_.Pid())) {
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                WaitUntil([&] { return FindSettingsDialog(pikora_.Pid()) == nullptr; }, 2000);
            }
        }
        PikoraWithNotepad::TearDown();
    }
};

TEST_F(PikoraSettingsFromPopup, OKDuringAPopupRunLeavesTheHistoryHotkeyToTheRunsEnd) {
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({}), {Locked("one", "1")}));
    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr);
    // "設定(&O)" of the popup's menu.
    PostMessageA(popup, WM_COMMAND, kIdListSettings, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (dialog = FindSettingsDialog(pikora_.Pid())) != nullptr; }, 3000))
        << DescribeWindowsOf(pikora_.Pid());
    // Owned by the topmost popup, so that the popup cannot cover it.
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), popup);
    SetHotkey(dialog, kPopupHotkey, 'P', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    SetHotkey(dialog, kHistoryHotkey, 'Q', HOTKEYF_ALT);
    ClickItem(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return FindSettingsDialog(pikora_.Pid()) == nullptr; }, 3000));
    std::string ini;
    WaitUntil(
        [&] {
            ini = pikora_.ReadIni().value_or("");
            return SettingValue(ini, "RirekiKey") == "81";
        },
        3000);
    EXPECT_EQ(SettingValue(ini, "PouupKey"), "80");
    EXPECT_EQ(SettingValue(ini, "PouupMod"), "6");
    EXPECT_EQ(SettingValue(ini, "RirekiKey"), "81");
    EXPECT_EQ(SettingValue(ini, "RirekiMod"), "1");
    ASSERT_TRUE(pikora_.Sync());
    EXPECT_EQ(FindAppBox(pikora_.Pid()), nullptr) << "an unexpected message";
    // The popup hotkey is back at once; the history hotkey stays with the run,
    // which released it and takes it back, as changed, when it ends.
    EXPECT_TRUE(HotkeyTaken(MOD_CONTROL | MOD_SHIFT, 'P'));
    EXPECT_FALSE(HotkeyTaken(MOD_ALT, 'Q')) << "registered while the popup run holds it";
    EXPECT_FALSE(HotkeyTaken(MOD_ALT, 'Z'));

    if (HWND open = FindPopup(pikora_.Pid())) {
        PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
    }
    ASSERT_TRUE(WaitPopupGone(pikora_.Pid()));
    ASSERT_TRUE(pikora_.Sync());
    EXPECT_EQ(FindAppBox(pikora_.Pid()), nullptr) << "an unexpected message";
    EXPECT_TRUE(HotkeyTaken(MOD_ALT, 'Q')) << "the popup run did not take the new history hotkey";
    EXPECT_FALSE(HotkeyTaken(MOD_ALT, 'Z'));
}

}  // namespace
