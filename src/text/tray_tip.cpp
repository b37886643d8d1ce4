#include "text/tray_tip.h"

#include "text/cp932.h"

namespace pikora {

std::string MakeTrayTip(std::string_view text, bool replaceTabs) {
    std::string tip(text.substr(0, SafeCutLength(text, kTrayTipMaxBytes)));
    if (replaceTabs) {
        // A tab is a single-byte character and never a trail byte, so a plain
        // byte replacement cannot damage a double-byte character.
        for (char& c : tip) {
            if (c == '\t') {
                c = static_cast<char>(0xA5);
            }
        }
    }
    return tip;
}

}  // namespace pikora
