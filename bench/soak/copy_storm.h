// Copy storm: another process (this one) puts distinct texts on the
// clipboard at a steady pace while Pikora records history; afterwards
// Pikora.dat must hold each of them once, newest first.
#pragma once

#include <windows.h>

#include <string>

namespace soak {

struct CopyStormResult {
    bool ran = false;
    std::string problem;
    int copies = 0;
    // How long the copies took to put, against copies x interval.
    double putMs = 0;
    // Copies that this process could not put even after retrying (Pikora is
    // not asked to have them), and the first refusal seen, retried or not.
    int putFailures = 0;
    std::string putError;
    // Pikora.dat after Pikora has ended through its menu.
    int recorded = 0;
    int missed = 0;
    int doubled = 0;
    int foreign = 0;         // entries that are none of the copies
    std::string missedList;  // the first missed copy numbers
    bool inOrder = false;
    // From the last copy until Pikora.dat has it at the top; -1 if never.
    double lastCopyToListMs = -1;
};

CopyStormResult RunCopyStorm(int copies, DWORD intervalMs);

}  // namespace soak
