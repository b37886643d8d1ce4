#include "support/input.h"

#include <cctype>
#include <iostream>
#include <iterator>

#include "support/common.h"
#include "support/process_windows.h"

namespace e2e {

namespace {

// Time for the target thread to pull each event from its queue; without it
// a burst of events can be coalesced or reordered against the program's own.
constexpr DWORD kEventGapMs = 15;

bool IsExtendedKey(WORD vk) {
    switch (vk) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_INSERT:
        case VK_DELETE:
        case VK_RCONTROL:
        case VK_RMENU:
        case VK_DIVIDE:
        case VK_NUMLOCK:
        case VK_LWIN:
        case VK_RWIN:
        case VK_APPS:
            return true;
        default:
            return false;
    }
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

void SendKey(WORD vk, bool up) {
    INPUT input = KeyInput(vk, up);
    SendInput(1, &input, sizeof input);
    Sleep(kEventGapMs);
}

DWORD ButtonFlag(MouseButton button, bool up) {
    if (button == MouseButton::Right) {
        return up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN;
    }
    return up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
}

void SendMouseButton(MouseButton button, bool up) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = ButtonFlag(button, up);
    SendInput(1, &input, sizeof input);
    Sleep(kEventGapMs);
}

}  // namespace

void KeyDown(WORD vk) {
    SendKey(vk, false);
}

void KeyUp(WORD vk) {
    SendKey(vk, true);
}

void PressKey(WORD vk) {
    KeyDown(vk);
    KeyUp(vk);
}

void PressChord(std::initializer_list<WORD> modifiers, WORD vk, DWORD holdMs) {
    // The modifiers and the key go down in one call, with no gap between
    // them. Wine matches its keyboard state to the X server's whenever one of
    // its windows gets the X focus (KeymapNotify), and the X server knows
    // nothing of keys given through SendInput: a focus change still on its
    // way from an earlier activation (notepad taking the X focus after the
    // window state already shows it, a closed dialog's X window going away)
    // let go of a held Alt, and Alt+X arrived as a plain x.
    std::vector<INPUT> down;
    for (WORD modifier : modifiers) {
        down.push_back(KeyInput(modifier, false));
    }
    down.push_back(KeyInput(vk, false));
    SendInput(static_cast<UINT>(down.size()), down.data(), sizeof(INPUT));
    Sleep(kEventGapMs + holdMs);
    KeyUp(vk);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) {
        KeyUp(*it);
    }
}

void PressChordInto(HWND edit, std::initializer_list<WORD> modifiers, WORD vk, DWORD holdMs,
                    const std::function<bool()>& done) {
    const std::string typed = TextOf(edit) + static_cast<char>(std::tolower(vk));
    PressChord(modifiers, vk, holdMs);
    bool lost = false;
    WaitUntil([&] { return (lost = TextOf(edit) == typed) || done(); }, 3000);
    if (lost && !done()) {
        std::cout << "the chord arrived as a plain key; pressed again\n";
        PressKey(VK_BACK);
        WaitUntil([&] { return TextOf(edit) + typed.back() == typed; }, 2000);
        PressChord(modifiers, vk, holdMs);
    }
}

void TypeText(const std::string& ascii) {
    for (char c : ascii) {
        const SHORT scan = VkKeyScanA(c);
        if (scan == -1) {
            continue;
        }
        const WORD vk = LOBYTE(scan);
        if ((HIBYTE(scan) & 1) != 0) {
            PressChord({VK_SHIFT}, vk, 0);
        } else {
            PressKey(vk);
        }
    }
}

void TypeUnicode(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT in[2] = {};
        for (INPUT& i : in) {
            i.type = INPUT_KEYBOARD;
            i.ki.wScan = static_cast<WORD>(c);
            i.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
    }
}

HeldKeys::HeldKeys(std::initializer_list<WORD> keys) {
    for (WORD vk : keys) {
        KeyDown(vk);
        m_keys.push_back(vk);
    }
}

HeldKeys::~HeldKeys() {
    for (auto it = m_keys.rbegin(); it != m_keys.rend(); ++it) {
        KeyUp(*it);
    }
}

void MoveMouse(POINT screen) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    // Absolute coordinates are 0..65535 over the screen; rounding up lands
    // on the intended pixel after the driver's truncating conversion back.
    input.mi.dx = static_cast<LONG>((screen.x * 65536LL + width - 1) / width);
    input.mi.dy = static_cast<LONG>((screen.y * 65536LL + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
    Sleep(kEventGapMs);
}

void MouseDown(MouseButton button) {
    SendMouseButton(button, false);
}

void MouseUp(MouseButton button) {
    SendMouseButton(button, true);
}

void Click(POINT screen, MouseButton button) {
    MoveMouse(screen);
    MouseDown(button);
    MouseUp(button);
}

void DoubleClick(POINT screen) {
    MoveMouse(screen);
    for (int i = 0; i < 2; ++i) {
        MouseDown();
        MouseUp();
    }
}

void Drag(POINT from, POINT to, int steps, MouseButton button) {
    MoveMouse(from);
    HeldMouseButton held(button);
    for (int i = 1; i <= steps; ++i) {
        MoveMouse(
            POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    }
}

HeldMouseButton::HeldMouseButton(MouseButton button) : m_button(button) {
    MouseDown(button);
}

HeldMouseButton::~HeldMouseButton() {
    MouseUp(m_button);
}

POINT CursorPos() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

POINT CenterOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT ClientToScreenPoint(HWND hwnd, POINT client) {
    ClientToScreen(hwnd, &client);
    return client;
}

}  // namespace e2e
