// Finding and working Pikora's own dialogs and message boxes from outside.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/common.h"
#include "support/process_windows.h"

namespace e2e {

// A visible dialog of the process with this caption.
inline HWND FindDialogOf(DWORD pid, const char* caption) {
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        if (IsWindowVisible(hwnd) && ClassNameOf(hwnd) == "#32770" && TextOf(hwnd) == caption) {
            return hwnd;
        }
    }
    return nullptr;
}

inline HWND WaitDialogOf(DWORD pid, const char* caption, DWORD timeoutMs = 3000) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindDialogOf(pid, caption)) != nullptr; }, timeoutMs);
    return found;
}

inline bool WaitDialogGone(DWORD pid, const char* caption, DWORD timeoutMs = 3000) {
    return WaitUntil([&] { return FindDialogOf(pid, caption) == nullptr; }, timeoutMs);
}

// Pikora's message boxes carry the application title.
inline HWND WaitAppMessageBox(DWORD pid, DWORD timeoutMs = 3000) {
    return WaitDialogOf(pid, "Pikora", timeoutMs);
}

// A click on a dialog's button as the button itself reports it.
inline void ClickButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

inline std::string ItemText(HWND dialog, int id) {
    return TextOf(GetDlgItem(dialog, id));
}

inline void SetItemText(HWND dialog, int id, const std::string& cp932) {
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(Wide(cp932).c_str()));
}

inline std::string FromWide(const std::wstring& wide) {
    if (wide.empty()) {
        return std::string();
    }
    const int n = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                      0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

// The items of a combo box, read through the wide messages (Wine hands
// another process only the first character of an ANSI CB_GETLBTEXT).
inline std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring wide(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        const LRESULT got = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                         reinterpret_cast<LPARAM>(wide.data()));
        wide.resize(got > 0 ? static_cast<size_t>(got) : 0);
        items.push_back(FromWide(wide));
    }
    return items;
}

inline int ComboSelection(HWND combo) {
    return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

}  // namespace e2e
