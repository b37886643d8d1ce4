#include "popup/popup_keys.h"

#include <string>

namespace pikora {

namespace {

// Lower case of one CP932 character: ASCII letters, and the full-width
// letters Ａ-Ｚ (82 60-79) to ａ-ｚ (82 81-9A).
std::string FoldCase(std::string_view c) {
    std::string folded(c);
    if (folded.size() == 1 && folded[0] >= 'A' && folded[0] <= 'Z') {
        folded[0] = static_cast<char>(folded[0] - 'A' + 'a');
    } else if (folded.size() == 2 && static_cast<unsigned char>(folded[0]) == 0x82) {
        const auto trail = static_cast<unsigned char>(folded[1]);
        if (trail >= 0x60 && trail <= 0x79) {
            folded[1] = static_cast<char>(trail + (0x81 - 0x60));
        }
    }
    return folded;
}

bool BeginsWith(const SharedText& title, const std::string& folded) {
    const std::string_view t = title;
    return t.size() >= folded.size() && FoldCase(t.substr(0, folded.size())) == folded;
}

}  // namespace

int NextSpaceSelection(int selection, int count, bool shift) {
    if (count <= 0) {
        return -1;
    }
    int next;
    if (shift) {
        next = selection == 0 ? count - 1 : selection - 1;
    } else {
        next = selection < count - 1 ? selection + 1 : 0;
    }
    // Backward from "no selection" asks the list control for line -2, which
    // it refuses; it then has no selection either.
    return next < 0 ? -1 : next;
}

int NextLineStartingWith(const TextItemList& items, int caret, std::string_view character) {
    if (character.empty()) {
        return -1;
    }
    const std::string folded = FoldCase(character);
    // One walk down the list: the first match after the caret wins, else the
    // first match from the top (which may be the caret's own line).
    int firstMatch = -1;
    int i = 0;
    for (TextItemList::POSITION pos = items.GetHeadPosition(); pos != nullptr; ++i) {
        if (!BeginsWith(items.GetNext(pos).title, folded)) {
            continue;
        }
        if (i > caret) {
            return i;
        }
        if (firstMatch < 0) {
            firstMatch = i;
        }
    }
    return firstMatch;
}

}  // namespace pikora
