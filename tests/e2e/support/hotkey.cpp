#include "support/hotkey.h"

namespace e2e {

namespace {

// Ids of the test's own thread hotkeys (applications may use 0..0xBFFF); one
// per combination, so several blockers can live side by side.
constexpr int kProbeId = 0xB000;

int BlockerId(UINT modifiers, UINT vk) {
    return 0xA000 + static_cast<int>(((modifiers & 0xF) << 8) | (vk & 0xFF));
}

}  // namespace

bool HotkeyTaken(UINT modifiers, UINT vk) {
    if (RegisterHotKey(nullptr, kProbeId, modifiers, vk)) {
        UnregisterHotKey(nullptr, kProbeId);
        return false;
    }
    return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
}

HotkeyBlocker::HotkeyBlocker(UINT modifiers, UINT vk)
    : m_id(BlockerId(modifiers, vk)), m_ok(RegisterHotKey(nullptr, m_id, modifiers, vk) != FALSE) {}

HotkeyBlocker::~HotkeyBlocker() {
    if (m_ok) {
        UnregisterHotKey(nullptr, m_id);
    }
}

}  // namespace e2e
