#include "support/notepad.h"

#include "support/common.h"
#include "support/process_windows.h"

namespace e2e {

Notepad::Notepad() {
    if (!m_process.Start("C:\\windows\\system32\\notepad.exe", "notepad.exe")) {
        m_error = m_process.Error();
        return;
    }
    m_process.WaitIdle(5000);
    const bool found = WaitUntil(
        [&] {
            m_frame = FindTopLevel(m_process.Pid(), "Notepad", nullptr);
            m_edit = m_frame != nullptr ? FindChild(m_frame, "Edit") : nullptr;
            return m_edit != nullptr;
        },
        10000);
    if (!found) {
        m_error =
            "notepad's window did not appear; its windows:\n" + DescribeWindowsOf(m_process.Pid());
    }
}

Notepad::~Notepad() {
    if (m_process.Running()) {
        Close();
    }
}

bool Notepad::Focus() const {
    if (m_frame == nullptr) {
        return false;
    }
    SetForegroundWindow(m_frame);
    // The foreground changes at once, but notepad's thread takes the focus
    // into its edit only when it gets to it, and under Wine that is also when
    // the window system's focus arrives and the keyboard state is read back
    // from the X server: a modifier the test holds down before then is
    // released under its feet. So wait until the edit has the focus and its
    // caret, then let the thread finish what it queued meanwhile.
    const DWORD thread = GetWindowThreadProcessId(m_frame, nullptr);
    const bool focused = WaitUntil(
        [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetForegroundWindow() == m_frame && GetGUIThreadInfo(thread, &info) &&
                   info.hwndFocus == m_edit && info.hwndCaret == m_edit;
        },
        5000);
    DWORD_PTR result = 0;
    for (int i = 0; i < 2; ++i) {
        SendMessageTimeoutA(m_edit, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
    }
    return focused;
}

std::string Notepad::Text() const {
    return m_edit != nullptr ? TextOf(m_edit) : std::string();
}

bool Notepad::WaitForText(const std::string& expected, DWORD timeoutMs) const {
    return WaitUntil([&] { return Text() == expected; }, timeoutMs);
}

POINT Notepad::CharPoint(int index) const {
    const LRESULT packed = SendMessageA(m_edit, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
    const POINT client{static_cast<short>(LOWORD(packed)) + 1,
                       static_cast<short>(HIWORD(packed)) + 4};
    POINT screen = client;
    ClientToScreen(m_edit, &screen);
    return screen;
}

bool Notepad::Close(DWORD timeoutMs) {
    if (!m_process.Running()) {
        return true;
    }
    PostMessageA(m_frame, WM_CLOSE, 0, 0);
    const bool ended = WaitUntil(
        [&] {
            // A modified document first asks whether to save it.
            if (HWND prompt = FindTopLevel(m_process.Pid(), "#32770", nullptr)) {
                PostMessageA(prompt, WM_COMMAND, IDNO, 0);
            }
            return !m_process.Running();
        },
        timeoutMs, 50);
    if (!ended) {
        m_process.Terminate();
    }
    return ended;
}

}  // namespace e2e
