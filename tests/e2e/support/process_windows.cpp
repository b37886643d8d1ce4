#include "support/process_windows.h"

#include <cstdio>
#include <cstring>

#include "support/common.h"

namespace e2e {

namespace {

struct EnumState {
    DWORD pid;
    std::vector<HWND>* out;
};

BOOL CALLBACK CollectWindowOfProcess(HWND hwnd, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == state->pid) {
        state->out->push_back(hwnd);
    }
    return TRUE;
}

// Class and title as asked; nullptr for either matches anything.
bool Matches(HWND hwnd, const char* className, const char* title) {
    return (className == nullptr || ClassNameOf(hwnd) == className) &&
           (title == nullptr || TextOf(hwnd) == title);
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD pid) {
    std::vector<HWND> windows;
    EnumState state{pid, &windows};
    EnumWindows(CollectWindowOfProcess, reinterpret_cast<LPARAM>(&state));
    return windows;
}

std::vector<HWND> VisibleTopmostWindowsOf(DWORD pid) {
    std::vector<HWND> result;
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        if (IsWindowVisible(hwnd) && (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) {
            result.push_back(hwnd);
        }
    }
    return result;
}

HWND FindTopLevel(DWORD pid, const char* className, const char* title) {
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        if (Matches(hwnd, className, title)) {
            return hwnd;
        }
    }
    return nullptr;
}

HWND FindChild(HWND parent, const char* className, const char* title) {
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (Matches(child, className, title)) {
            return child;
        }
    }
    return nullptr;
}

std::string ClassNameOf(HWND hwnd) {
    char buffer[256];
    const int n = GetClassNameA(hwnd, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

std::string TextOf(HWND hwnd) {
    return Cp932(WideTextOf(hwnd));
}

std::wstring WideTextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
        return {};
    }
    std::wstring buffer(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, buffer.size(),
                             reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG, 2000,
                             &got)) {
        return {};
    }
    buffer.resize(wcsnlen(buffer.data(), buffer.size()));
    return buffer;
}

std::string StaticTextsOf(HWND dialog) {
    std::string out;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassNameOf(child) == "Static") {
            out += TextOf(child);
        }
    }
    return out;
}

std::vector<std::string> ListBoxLines(HWND listBox) {
    std::vector<std::string> lines;
    const LRESULT count = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageA(listBox, LB_GETTEXTLEN, i, 0);
        if (length < 0) {
            lines.emplace_back();
            continue;
        }
        std::string line(static_cast<size_t>(length) * 2 + 2, '\0');
        SendMessageA(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        line.resize(strnlen(line.data(), line.size()));
        lines.push_back(line);
    }
    return lines;
}

int ListBoxSelection(HWND listBox) {
    return static_cast<int>(SendMessageA(listBox, LB_GETCURSEL, 0, 0));
}

std::string DescribeWindow(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    char rect[96];
    std::snprintf(rect, sizeof rect, "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
    return ClassNameOf(hwnd) + " '" + Utf8(TextOf(hwnd)) + "'" +
           (IsWindowVisible(hwnd) ? " visible " : " hidden ") + rect;
}

std::string DescribeWindowsOf(DWORD pid) {
    std::string out;
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        out += "  " + DescribeWindow(hwnd) + "\n";
    }
    return out.empty() ? "  (no top-level windows)\n" : out;
}

HWND FindVisibleMenuWindow(DWORD pid) {
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        if (IsWindowVisible(hwnd) && ClassNameOf(hwnd) == "#32768") {
            return hwnd;
        }
    }
    return nullptr;
}

}  // namespace e2e
