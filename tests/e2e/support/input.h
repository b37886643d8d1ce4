// Synthesised keyboard and mouse input (SendInput), as a user would give it.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace e2e {

void KeyDown(WORD vk);
void KeyUp(WORD vk);
void PressKey(WORD vk);

// Presses the modifiers in order, then the key, holds them `holdMs`, and
// releases everything in reverse order. A program that synthesises keys of
// its own in answer (Ctrl+V interception) needs a hold of ~300 ms, or its
// key-downs arrive after ours are released.
void PressChord(std::initializer_list<WORD> modifiers, WORD vk, DWORD holdMs = 30);
inline void PressCtrlV() {
    PressChord({VK_CONTROL}, 'V', 300);
}

// PressChord aimed at the edit control `edit`, until `done` or 3 s. Wine
// takes its keyboard state from the X server (which knows nothing of
// SendInput) when one of its windows gets the X focus, and can so let go of
// the modifiers under the chord. The key then arrives as a plain letter: that
// proves the chord never did, so the letter is taken back and the chord
// pressed once more.
void PressChordInto(HWND edit, std::initializer_list<WORD> modifiers, WORD vk, DWORD holdMs,
                    const std::function<bool()>& done);

// Types plain ASCII text key by key (with Shift where the layout needs it).
void TypeText(const std::string& ascii);
// Types characters as Unicode, the way an IME commits them.
void TypeUnicode(const std::wstring& text);

// Keys held down for the lifetime of the object (pressed in order, released in
// reverse), so an early return from a failing test still lets go of them.
class HeldKeys {
  public:
    explicit HeldKeys(std::initializer_list<WORD> keys);
    ~HeldKeys();
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

  private:
    std::vector<WORD> m_keys;
};

enum class MouseButton { Left, Right };

// Screen coordinates throughout.
void MoveMouse(POINT screen);
void MouseDown(MouseButton button = MouseButton::Left);
void MouseUp(MouseButton button = MouseButton::Left);
void Click(POINT screen, MouseButton button = MouseButton::Left);
void DoubleClick(POINT screen);
// Button down at `from`, moves in `steps` steps, button up at `to`.
void Drag(POINT from, POINT to, int steps = 8, MouseButton button = MouseButton::Left);

// Mouse button held for the lifetime of the object.
class HeldMouseButton {
  public:
    explicit HeldMouseButton(MouseButton button = MouseButton::Left);
    ~HeldMouseButton();
    HeldMouseButton(const HeldMouseButton&) = delete;
    HeldMouseButton& operator=(const HeldMouseButton&) = delete;

  private:
    MouseButton m_button;
};

POINT CursorPos();
POINT CenterOf(HWND hwnd);
POINT ClientToScreenPoint(HWND hwnd, POINT client);

}  // namespace e2e
