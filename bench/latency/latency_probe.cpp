// Latency probe under Wine: hotkey pressed to popup visible, for Pikora with
// 1,000 and 10,000 entries and for a bare program (the floor), and Enter to
// the text arriving in notepad minus the paste's fixed 50 ms wait before the
// clipboard write (its 400 ms wait comes after the keystroke, so the text is
// already there by then).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "store/data_file.h"
#include "support/child_process.h"
#include "support/common.h"
#include "support/input.h"
#include "support/notepad.h"
#include "support/pikora_process.h"

namespace {

constexpr int kRounds = 15;
constexpr double kFixedPasteWaitMs = 50.0;

double NowMs() {
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

struct FindArgs {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindVisiblePopup(HWND hwnd, LPARAM lp) {
    auto* args = reinterpret_cast<FindArgs*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == args->pid && ::IsWindowVisible(hwnd) &&
        (::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
        args->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND VisiblePopupOf(DWORD pid) {
    FindArgs args{pid, nullptr};
    ::EnumWindows(FindVisiblePopup, reinterpret_cast<LPARAM>(&args));
    return args.found;
}

// Milliseconds from the key press to a visible topmost window of pid; -1 on timeout.
double TimeToPopup(DWORD pid) {
    const double start = NowMs();
    e2e::PressChord({VK_MENU}, 'X', 10);
    while (NowMs() - start < 5000) {
        if (VisiblePopupOf(pid)) {
            return NowMs() - start;
        }
        ::Sleep(1);
    }
    return -1;
}

bool WaitHidden(DWORD pid) {
    return e2e::WaitUntil([&] { return VisiblePopupOf(pid) == nullptr; }, 5000, 5);
}

double Median(std::vector<double> v) {
    if (v.empty()) {
        return -1;
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string DataFileWith(int entries) {
    pikora::TextItemList list;
    for (int i = 0; i < entries; ++i) {
        const std::string text = "entry " + std::to_string(i) + " " + std::string(40, 'x');
        list.AddTail(pikora::TextItem{pikora::KIND_LOCKED, 0, -1, text.substr(0, 23), text});
    }
    return pikora::EncodeDataFile(list, false);
}

struct PikoraFigures {
    double popupMs = -1;
    double pasteMs = -1;
};

PikoraFigures MeasurePikora(int entries) {
    PikoraFigures figures;
    e2e::PikoraProcess pikora;
    e2e::PikoraSeed seed;
    seed.ini = "[Setting]\r\nCopyPopup=0\r\nRirekiWave=0\r\nNormalDelete=0\r\nSelectSW=0\r\n";
    seed.dat = DataFileWith(entries);
    if (!pikora.Prepare("latency-" + std::to_string(entries), seed) || !pikora.Start(20000)) {
        std::fprintf(stderr, "cannot start Pikora: %s\n", pikora.Error().c_str());
        return figures;
    }
    e2e::Notepad notepad;
    if (!notepad.Started()) {
        std::fprintf(stderr, "cannot start notepad: %s\n", notepad.Error().c_str());
        pikora.Exit();
        return figures;
    }
    std::vector<double> popup;
    std::vector<double> paste;
    for (int round = 0; round < kRounds; ++round) {
        notepad.Focus();
        ::Sleep(50);
        const double t = TimeToPopup(pikora.Pid());
        if (t < 0) {
            continue;
        }
        popup.push_back(t);
        if (round % 3 == 0) {
            // Enter pastes the selected (top) entry.
            const size_t before = notepad.Text().size();
            const double start = NowMs();
            e2e::PressKey(VK_RETURN);
            if (e2e::WaitUntil([&] { return notepad.Text().size() > before; }, 5000, 1)) {
                paste.push_back(NowMs() - start - kFixedPasteWaitMs);
            }
            // The paste ends with the clipboard restore after the 400 ms wait.
            ::Sleep(200);
        } else {
            e2e::PressKey(VK_ESCAPE);
        }
        WaitHidden(pikora.Pid());
        ::Sleep(100);
    }
    figures.popupMs = Median(popup);
    figures.pasteMs = Median(paste);
    notepad.Close();
    pikora.Exit();
    return figures;
}

double MeasureFloor() {
    e2e::ChildProcess floor;
    const std::string exe = e2e::ThisExeDir() + "\\hotkey_window.exe";
    if (!floor.Start(exe, "\"" + exe + "\"")) {
        std::fprintf(stderr, "cannot start %s\n", exe.c_str());
        return -1;
    }
    floor.WaitIdle(5000);
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        const double t = TimeToPopup(floor.Pid());
        if (t >= 0) {
            times.push_back(t);
        }
        e2e::PressKey(VK_ESCAPE);
        WaitHidden(floor.Pid());
        ::Sleep(100);
    }
    floor.Terminate();
    return Median(times);
}

}  // namespace

int main() {
    const double floorMs = MeasureFloor();
    const PikoraFigures small = MeasurePikora(1000);
    const PikoraFigures large = MeasurePikora(10000);
    std::printf(
        "| case | hotkey to popup visible (median ms) | x floor | Enter to text in notepad minus "
        "the 50 ms wait (median ms) |\n");
    std::printf("|---|---|---|---|\n");
    std::printf("| bare Win32 window (floor) | %.1f | 1.0 | - |\n", floorMs);
    std::printf("| Pikora, 1,000 entries | %.1f | %.2f | %.1f |\n", small.popupMs,
                floorMs > 0 ? small.popupMs / floorMs : 0.0, small.pasteMs);
    std::printf("| Pikora, 10,000 entries | %.1f | %.2f | %.1f |\n", large.popupMs,
                floorMs > 0 ? large.popupMs / floorMs : 0.0, large.pasteMs);
    return (floorMs > 0 && small.popupMs > 0 && large.popupMs > 0) ? 0 : 1;
}
