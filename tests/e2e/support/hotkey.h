// Probing and occupying global hotkeys from the test process.
#pragma once

#include <windows.h>

namespace e2e {

// True when another thread holds the combination (RegisterHotKey answers
// ERROR_HOTKEY_ALREADY_REGISTERED). A free combination is registered and at
// once released again, so call it only while the program under test is not
// about to register that combination itself.
bool HotkeyTaken(UINT modifiers, UINT vk);

// Holds a thread hotkey for its lifetime, e.g. to make the program's own
// registration fail.
class HotkeyBlocker {
  public:
    HotkeyBlocker(UINT modifiers, UINT vk);
    ~HotkeyBlocker();
    HotkeyBlocker(const HotkeyBlocker&) = delete;
    HotkeyBlocker& operator=(const HotkeyBlocker&) = delete;
    bool Ok() const { return m_ok; }

  private:
    int m_id;
    bool m_ok;
};

}  // namespace e2e
