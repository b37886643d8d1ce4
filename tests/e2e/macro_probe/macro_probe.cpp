// A small program for the program-macro tests to start through Pikora.
//
//   macro_probe.exe LOG [ARGS...]
//
// Appends one line to LOG, fields separated by tabs:
//   pid, the command line, ARGS joined by blanks, notepad's text at the start,
//   notepad's text when the probe is about to become idle for input
// (notepad's text with CR and LF written as \r and \n, "-" without notepad),
// then runs a message loop on a hidden window for a moment and ends.
//
// Between the two looks at notepad the probe is busy and pumps no messages, so
// a launcher that waits until the program is idle cannot have pasted yet at
// the second look. The window stays hidden so that the probe never takes the
// foreground away from the application the paste is meant for.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

constexpr DWORD kBusyMs = 400;
constexpr UINT_PTR kQuitTimer = 1;
constexpr UINT kLoopMs = 300;

std::string NotepadText() {
    HWND frame = FindWindowA("Notepad", nullptr);
    HWND edit = frame != nullptr ? FindWindowExA(frame, nullptr, "Edit", nullptr) : nullptr;
    if (edit == nullptr) {
        return "-";
    }
    // Another process's control: GetWindowText would return nothing.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
        return "-";
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutA(edit, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                        reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 2000, &got);
    text.resize(static_cast<size_t>(got));
    std::string escaped;
    for (char c : text) {
        if (c == '\r') {
            escaped += "\\r";
        } else if (c == '\n') {
            escaped += "\\n";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

bool AppendLine(const char* path, const std::string& line) {
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
        written == line.size();
    CloseHandle(file);
    return ok;
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER && wParam == kQuitTimer) {
        KillTimer(hwnd, kQuitTimer);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 2) {
        return 2;
    }
    const std::string atStart = NotepadText();
    Sleep(kBusyMs);
    const std::string beforeIdle = NotepadText();

    std::string args;
    for (int i = 2; i < __argc; ++i) {
        args += (i > 2 ? " " : "") + std::string(__argv[i]);
    }
    const std::string line = std::to_string(GetCurrentProcessId()) + "\t" + GetCommandLineA() +
                             "\t" + args + "\t" + atStart + "\t" + beforeIdle + "\r\n";
    if (!AppendLine(__argv[1], line)) {
        return 3;
    }

    WNDCLASSA wc{};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = instance;
    wc.lpszClassName = "PikoraMacroProbe";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "macro probe", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                100, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        return 4;
    }
    SetTimer(hwnd, kQuitTimer, kLoopMs, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
    DestroyWindow(hwnd);
    return 0;
}
