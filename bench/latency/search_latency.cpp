// Keystroke in the popup's search box to the narrowed list drawn: the list
// box holds the expected number of lines and has nothing left to paint. The
// first key narrows the whole list; the next ones refine its result.
#include "search_latency.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "store/data_file.h"
#include "support/common.h"
#include "support/input.h"
#include "support/notepad.h"
#include "support/pikora_process.h"
#include "support_popup.h"

namespace {

constexpr int kSearchBoxId = 1039;
constexpr int kRounds = 15;
// Typed one by one; each key narrows further.
constexpr char kQuery[] = "123";

double NowMs() {
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

std::string EntryText(int i) {
    return "entry " + std::to_string(i) + " " + std::string(160, 'x');
}

struct SearchFigures {
    double firstKeyMs = -1;
    double refineKeyMs = -1;
};

double Median(std::vector<double> v) {
    if (v.empty()) {
        return -1;
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

bool FocusIs(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) &&
           info.hwndFocus == window;
}

SearchFigures Measure(int entries) {
    SearchFigures figures;
    pikora::TextItemList list;
    for (int i = 0; i < entries; ++i) {
        const std::string text = EntryText(i);
        list.AddTail(pikora::TextItem{pikora::KIND_LOCKED, 0, -1, text.substr(0, 23), text});
    }
    // The lines each prefix of the query leaves.
    std::vector<int> expected;
    for (size_t n = 1; n < sizeof kQuery; ++n) {
        const std::string prefix(kQuery, n);
        int count = 0;
        for (int i = 0; i < entries; ++i) {
            count += EntryText(i).find(prefix) != std::string::npos ? 1 : 0;
        }
        expected.push_back(count);
    }
    e2e::PikoraProcess pikora;
    e2e::PikoraSeed seed;
    seed.ini = "[Setting]\r\nCopyPopup=0\r\nRirekiWave=0\r\nSelectSW=0\r\n";
    seed.dat = pikora::EncodeDataFile(list, false);
    e2e::Notepad notepad;
    if (!notepad.Started() || !pikora.Prepare("search-" + std::to_string(entries), seed) ||
        !pikora.Start(20000)) {
        std::fprintf(stderr, "cannot start notepad or Pikora: %s\n", pikora.Error().c_str());
        return figures;
    }
    std::vector<double> first;
    std::vector<double> refine;
    for (int round = 0; round < kRounds; ++round) {
        notepad.Focus();
        e2e::PressChord({VK_MENU}, 'X', 10);
        HWND popup = nullptr;
        e2e::WaitUntil([&] { return (popup = e2e::FindPopup(pikora.Pid())) != nullptr; }, 20000);
        HWND lines = popup ? ::GetDlgItem(popup, e2e::kPopupListId) : nullptr;
        if (!lines || !e2e::WaitUntil([&] { return FocusIs(lines); }, 5000, 1)) {
            continue;
        }
        e2e::PressChord({VK_CONTROL}, 'F', 10);
        HWND box = nullptr;
        e2e::WaitUntil(
            [&] { return (box = ::GetDlgItem(popup, kSearchBoxId)) != nullptr && FocusIs(box); },
            20000, 1);
        for (size_t k = 0; box != nullptr && k < expected.size(); ++k) {
            const double start = NowMs();
            e2e::TypeText(std::string(1, kQuery[k]));
            const bool drawn = e2e::WaitUntil(
                [&] {
                    return ::SendMessageA(lines, LB_GETCOUNT, 0, 0) == expected[k] &&
                           !::GetUpdateRect(lines, nullptr, FALSE);
                },
                20000, 1);
            if (drawn) {
                (k == 0 ? first : refine).push_back(NowMs() - start);
            }
        }
        e2e::PressKey(VK_ESCAPE);
        e2e::PressKey(VK_ESCAPE);
        e2e::WaitPopupGone(pikora.Pid(), 20000);
        ::Sleep(100);
    }
    figures.firstKeyMs = Median(first);
    figures.refineKeyMs = Median(refine);
    notepad.Close();
    pikora.Exit(30000);
    return figures;
}

}  // namespace

bool ReportSearchFigures() {
    std::printf(
        "\n| case | first key in the search box to narrowed list drawn (median ms) | a further "
        "key (median ms) |\n");
    std::printf("|---|---|---|\n");
    bool ok = true;
    for (int entries : {1000, 100000}) {
        const SearchFigures f = Measure(entries);
        std::printf("| Pikora, %d entries | %.1f | %.1f |\n", entries, f.firstKeyMs, f.refineKeyMs);
        ok = ok && f.firstKeyMs > 0 && f.refineKeyMs > 0;
        if (entries == 100000) {
            ok = ok && f.firstKeyMs <= 50 && f.refineKeyMs <= 50;
        }
    }
    return ok;
}
