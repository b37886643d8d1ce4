#include "support/tray.h"

#include "support/common.h"
#include "support/input.h"
#include "support/pikora_process.h"

namespace e2e {

Menu ExpectedTrayMenu(const std::string& historyLabel) {
    return {
        Command(kIdVersion, "バージョン情報(&V)"),
        Command(kIdHelpReadme, "ヘルプ(&H)"),
        Separator(),
        Command(kIdSettings, "設定(&O)"),
        Command(kIdClearNormal, "ノーマル項目をクリア(&C)"),
        Command(kIdHistoryMode, historyLabel),
        Command(kIdAddData, "データを追加(&A)"),
        Submenu("クリップボード処理(&B)",
                {
                    Command(kIdAddQuote, "引用符を付加(&I)"),
                    Separator(),
                    Command(kIdWebSearch, "Goo検索"),
                    Command(kIdDicJapanese, "国語辞典"),
                    Command(kIdDicEnJa, "英和辞典"),
                    Command(kIdDicJaEn, "和英辞典"),
                }),
        Separator(),
        Command(kIdExit, "終了(&X)"),
    };
}

HWND FindStandaloneTray() {
    return FindWindowA("__winex11_standalone_tray", nullptr);
}

std::vector<HWND> TrayIcons() {
    std::vector<HWND> icons;
    HWND tray = FindStandaloneTray();
    if (tray == nullptr) {
        return icons;
    }
    for (HWND icon = FindWindowExA(tray, nullptr, "__winex11_tray_icon", nullptr); icon != nullptr;
         icon = FindWindowExA(tray, icon, "__winex11_tray_icon", nullptr)) {
        icons.push_back(icon);
    }
    return icons;
}

int TrayIconCount() {
    return static_cast<int>(TrayIcons().size());
}

void PostTrayMouse(HWND owner, UINT mouseMessage) {
    PostMessageA(owner, kWmTrayNotify, kTrayIconId, static_cast<LPARAM>(mouseMessage));
}

std::optional<Menu> OpenTrayMenu(ThreadSpy& spy, HWND frame) {
    return spy.CaptureMenu([&] { PostTrayMouse(frame, WM_RBUTTONDOWN); });
}

bool CloseMenuWithEscape(const ThreadSpy& spy) {
    PressKey(VK_ESCAPE);
    return spy.WaitMenuLoop(false);
}

std::unique_ptr<ThreadSpy> SpyOnTray() {
    HWND tray = nullptr;
    if (!WaitUntil([&] { return (tray = FindStandaloneTray()) != nullptr; }, 3000)) {
        return nullptr;
    }
    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(tray, &pid);
    return std::make_unique<ThreadSpy>(pid, thread);
}

}  // namespace e2e
