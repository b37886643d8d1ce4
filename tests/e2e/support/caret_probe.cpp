#include "support/caret_probe.h"

#include "support/common.h"
#include "support/process_windows.h"

namespace e2e {

CaretProbe::CaretProbe(const std::string& mode, POINT caret) : m_caret(caret) {
    const std::string exe = ThisExeDir() + "\\caret_probe.exe";
    const std::string commandLine =
        "\"" + exe + "\" " + mode + " " + std::to_string(caret.x) + " " + std::to_string(caret.y);
    if (!m_process.Start(exe, commandLine)) {
        m_error = m_process.Error();
        return;
    }
    m_process.WaitIdle(5000);
    if (!WaitUntil(
            [&] {
                return (m_hwnd = FindTopLevel(m_process.Pid(), "PikoraCaretProbe", nullptr)) !=
                       nullptr;
            },
            10000)) {
        m_error = "the caret probe's window did not appear";
    }
}

POINT CaretProbe::CaretOnScreen() const {
    POINT p = m_caret;
    ClientToScreen(m_hwnd, &p);
    return p;
}

bool CaretProbe::Focus() const {
    SetForegroundWindow(m_hwnd);
    const DWORD thread = GetWindowThreadProcessId(m_hwnd, nullptr);
    return WaitUntil(
        [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetForegroundWindow() == m_hwnd && GetGUIThreadInfo(thread, &info) &&
                   info.hwndFocus == m_hwnd;
        },
        5000);
}

std::string CaretProbe::Pasted() const {
    wchar_t text[512] = {};
    SendMessageW(m_hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    char bytes[1024] = {};
    WideCharToMultiByte(932, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

}  // namespace e2e
