#include "popup_soak.h"

#include <algorithm>
#include <vector>

#include "soak_clock.h"
#include "support/clipboard.h"
#include "support/common.h"
#include "support/data_file.h"
#include "support/input.h"
#include "support/notepad.h"
#include "support/pikora_process.h"
#include "support/process_windows.h"

namespace soak {

namespace {

// What the clipboard holds before each paste; Pikora puts it back after.
constexpr char kSentinel[] = "soak: the clipboard before the paste";

std::vector<e2e::DatEntry> SeedEntries(int entries) {
    std::vector<e2e::DatEntry> list;
    list.reserve(static_cast<size_t>(entries));
    for (int i = 0; i < entries; ++i) {
        const std::string text = "定型文 " + std::to_string(i) + " ぴこら";
        list.push_back(e2e::Locked("項目 " + std::to_string(i), text));
    }
    return list;
}

HWND VisiblePopup(DWORD pid) {
    for (HWND hwnd : e2e::VisibleTopmostWindowsOf(pid)) {
        if (GetDlgItem(hwnd, e2e::kPopupListId) != nullptr) {
            return hwnd;
        }
    }
    return nullptr;
}

// The popup shows itself before its list has the keyboard focus; a key sent
// in between goes to Pikora's hidden frame. A user sees the selection first.
bool WaitListFocus(HWND popup) {
    HWND list = GetDlgItem(popup, e2e::kPopupListId);
    const DWORD thread = GetWindowThreadProcessId(popup, nullptr);
    return e2e::WaitUntil(
        [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(thread, &info) && info.hwndFocus == list;
        },
        5000, 2);
}

// Lets the paste finish: Pikora waits 400 ms after its keystroke and then
// puts the previous clipboard text back, which changes the clipboard again.
// Watching the sequence number keeps our hands off the clipboard meanwhile.
bool WaitRestored(DWORD sequenceAfterPaste) {
    const bool changed = e2e::WaitUntil(
        [&] { return GetClipboardSequenceNumber() != sequenceAfterPaste; }, 3000, 10);
    Sleep(50);
    return changed && e2e::GetClipboardText().value_or("") == kSentinel;
}

}  // namespace

PopupSoakResult RunPopupSoak(int rounds, int entries) {
    PopupSoakResult r;
    r.rounds = rounds;
    const std::vector<e2e::DatEntry> seedEntries = SeedEntries(entries);
    e2e::PikoraProcess pikora;
    e2e::PikoraSeed seed;
    // The first line is selected at each opening and stays first after the
    // paste, so every round pastes the same text.
    seed.ini = "[Setting]\r\nCopyPopup=0\r\nRirekiWave=0\r\nNormalDelete=0\r\nSelectSW=0\r\n";
    seed.dat = e2e::EncodeDat(seedEntries);
    if (!pikora.Prepare("soak-popup", seed) || !pikora.Start(20000)) {
        r.problem = "cannot start Pikora: " + pikora.Error();
        return r;
    }
    e2e::Notepad notepad;
    if (!notepad.Started()) {
        r.problem = "cannot start notepad: " + notepad.Error();
        pikora.Exit();
        return r;
    }
    const std::string expected = seedEntries.front().text;
    e2e::SetClipboardText(kSentinel);
    r.started = TakeFigures(pikora.Handle(), pikora.Pid());
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        const double start = NowMs();
        notepad.Focus();
        const std::string before = notepad.Text();
        e2e::PressChord({VK_MENU}, 'X', 10);
        HWND popup = nullptr;
        if (!e2e::WaitUntil([&] { return (popup = VisiblePopup(pikora.Pid())) != nullptr; }, 10000,
                            5) ||
            !WaitListFocus(popup)) {
            ++r.noPopup;
            if (VisiblePopup(pikora.Pid()) != nullptr) {
                e2e::PressKey(VK_ESCAPE);
                e2e::WaitUntil([&] { return VisiblePopup(pikora.Pid()) == nullptr; }, 5000, 5);
            }
            continue;
        }
        e2e::PressKey(VK_RETURN);
        const bool pasted = e2e::WaitUntil(
            [&] {
                const std::string now = notepad.Text();
                return now.size() == before.size() + expected.size() &&
                       now.compare(before.size(), std::string::npos, expected) == 0;
            },
            5000, 5);
        if (!pasted) {
            ++r.noPaste;
            if (r.noPaste <= 5) {
                const std::string now = notepad.Text();
                r.failures += "round " + std::to_string(round + 1) + ": notepad got " +
                              std::to_string(static_cast<long long>(now.size()) -
                                             static_cast<long long>(before.size())) +
                              " bytes [" +
                              e2e::Utf8(now.substr(std::min(before.size(), now.size()))) +
                              "], clipboard [" +
                              e2e::Utf8(e2e::GetClipboardText().value_or("(none)")) + "]\n";
            }
            // Whatever state the popup is in, it goes.
            if (VisiblePopup(pikora.Pid()) != nullptr) {
                e2e::PressKey(VK_ESCAPE);
            }
        }
        if (!WaitRestored(GetClipboardSequenceNumber())) {
            ++r.notRestored;
            e2e::SetClipboardText(kSentinel);
        }
        e2e::WaitUntil([&] { return VisiblePopup(pikora.Pid()) == nullptr; }, 5000, 5);
        times.push_back(NowMs() - start);
        if (round == 0) {
            r.afterFirst = TakeFigures(pikora.Handle(), pikora.Pid());
        }
    }
    // What the last round freed late (a window destroyed after its message).
    Sleep(500);
    r.afterLast = TakeFigures(pikora.Handle(), pikora.Pid());
    if (!times.empty()) {
        std::sort(times.begin(), times.end());
        r.medianRoundMs = times[times.size() / 2];
    }
    notepad.Close();
    if (!pikora.Exit(30000)) {
        r.problem = "Pikora did not end through its menu";
        pikora.Terminate();
        return r;
    }
    r.ran = true;
    return r;
}

}  // namespace soak
