// Popup soak: Alt+X then Enter into notepad, round after round, with a long
// list; Pikora's GUI objects and memory are taken before and after.
#pragma once

#include <string>

#include "process_figures.h"

namespace soak {

struct PopupSoakResult {
    bool ran = false;
    std::string problem;
    int rounds = 0;
    int noPopup = 0;            // the popup did not appear, or its list never got the focus
    int noPaste = 0;            // the entry's text did not arrive in notepad
    int notRestored = 0;        // the clipboard did not get its text back
    ProcessFigures started;     // idle after start, no popup yet
    ProcessFigures afterFirst;  // after the first round
    ProcessFigures afterLast;   // after the last round
    double medianRoundMs = 0;
    // What the first failed rounds saw, one line each.
    std::string failures;
};

PopupSoakResult RunPopupSoak(int rounds, int entries);

}  // namespace soak
