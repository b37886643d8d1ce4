// Soak runs against the real Pikora.exe under Wine (`make soak`): a copy
// storm in history mode, then many popup-and-paste rounds into notepad. It
// prints figures; its exit status says whether the goals were met.
//
//   pikora_soak.exe [copies=1000] [interval=50] [rounds=200] [entries=1000]
// copies=0 or rounds=0 leaves that part out.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "copy_storm.h"
#include "popup_soak.h"

namespace {

int Arg(int argc, char** argv, const char* name, int def) {
    const size_t length = std::strlen(name);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], name, length) == 0 && argv[i][length] == '=') {
            return std::atoi(argv[i] + length + 1);
        }
    }
    return def;
}

long long Kb(SIZE_T bytes) {
    return static_cast<long long>(bytes / 1024);
}

void PrintGrowth(const char* figure, long long before, long long first, long long last,
                 const char* unit) {
    std::printf("| %s | %lld%s | %lld%s | %lld%s | %+lld%s |\n", figure, before, unit, first, unit,
                last, unit, last - first, unit);
}

bool ReportCopyStorm(int copies, int interval) {
    std::printf("== copy storm: %d distinct texts, one every %d ms, history mode on\n", copies,
                interval);
    std::fflush(stdout);
    const soak::CopyStormResult r = soak::RunCopyStorm(copies, static_cast<DWORD>(interval));
    if (!r.problem.empty()) {
        std::printf("problem: %s\n", r.problem.c_str());
    }
    std::printf("| figure | goal | measured |\n|---|---|---|\n");
    std::printf("| entries in Pikora.dat after exit | %d | %d |\n", copies, r.recorded);
    std::printf("| copies missed / doubled / foreign entries | 0 / 0 / 0 | %d / %d / %d |\n",
                r.missed, r.doubled, r.foreign);
    std::printf("| newest first, in copy order | yes | %s |\n", r.inOrder ? "yes" : "no");
    std::printf("| last copy to Pikora.dat holding it (ms) | - | %.1f |\n", r.lastCopyToListMs);
    std::printf("| time to put the copies (ms) | %d | %.0f |\n", (copies - 1) * interval, r.putMs);
    if (r.missed > 0) {
        std::printf("missed copies (first 20): %s\n", r.missedList.c_str());
    }
    if (!r.putError.empty()) {
        std::printf("copies this tool could not put after 5 tries: %d (first refusal: %s)\n",
                    r.putFailures, r.putError.c_str());
    }
    return r.ran && r.putFailures == 0 && r.recorded == copies && r.missed == 0 && r.doubled == 0 &&
           r.foreign == 0 && r.inOrder;
}

bool ReportPopupSoak(int rounds, int entries) {
    std::printf("== popup soak: %d rounds of Alt+X, Enter into notepad, %d entries\n", rounds,
                entries);
    std::fflush(stdout);
    const soak::PopupSoakResult r = soak::RunPopupSoak(rounds, entries);
    if (!r.problem.empty()) {
        std::printf("problem: %s\n", r.problem.c_str());
    }
    std::printf(
        "| figure | after start | after round 1 | after round %d | growth since round 1 |\n",
        rounds);
    std::printf("|---|---|---|---|---|\n");
    PrintGrowth("GetGuiResources GDI", r.started.guiGdi, r.afterFirst.guiGdi, r.afterLast.guiGdi,
                "");
    PrintGrowth("GetGuiResources USER", r.started.guiUser, r.afterFirst.guiUser,
                r.afterLast.guiUser, "");
    PrintGrowth("GDI handle table entries", r.started.gdiHandles, r.afterFirst.gdiHandles,
                r.afterLast.gdiHandles, "");
    PrintGrowth("windows (USER)", r.started.windows, r.afterFirst.windows, r.afterLast.windows, "");
    PrintGrowth("PrivateUsage", Kb(r.started.privateUsage), Kb(r.afterFirst.privateUsage),
                Kb(r.afterLast.privateUsage), " KB");
    PrintGrowth("PagefileUsage", Kb(r.started.pagefileUsage), Kb(r.afterFirst.pagefileUsage),
                Kb(r.afterLast.pagefileUsage), " KB");
    PrintGrowth("WorkingSet", Kb(r.started.workingSet), Kb(r.afterFirst.workingSet),
                Kb(r.afterLast.workingSet), " KB");
    std::printf("| rounds that failed to paste (goal 0) | | | %d | |\n", r.noPopup + r.noPaste);
    std::printf("(no popup %d, no text %d, clipboard not restored %d; median round %.0f ms)\n%s",
                r.noPopup, r.noPaste, r.notRestored, r.medianRoundMs, r.failures.c_str());
    return r.ran && r.noPopup == 0 && r.noPaste == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int copies = Arg(argc, argv, "copies", 1000);
    const int interval = Arg(argc, argv, "interval", 50);
    const int rounds = Arg(argc, argv, "rounds", 200);
    const int entries = Arg(argc, argv, "entries", 1000);
    bool met = true;
    if (copies > 0) {
        met = ReportCopyStorm(copies, interval) && met;
        std::printf("\n");
    }
    if (rounds > 0) {
        met = ReportPopupSoak(rounds, entries) && met;
        std::printf("\n");
    }
    std::printf("soak goals %s\n", met ? "met" : "NOT met");
    return met ? 0 : 1;
}
