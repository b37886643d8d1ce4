#include "store/make_title.h"

#include "text/cp932.h"

namespace pikora {

std::string MakeTitle(std::string_view text) {
    std::string title(text.substr(0, SafeCutLength(text, kHistoryTitleBytes)));
    // CR, LF and TAB are below 0x40, so none of them can be the trail byte of
    // a double-byte character: replacing bytes is safe.
    for (char& c : title) {
        if (c == '\r' || c == '\n' || c == '\t') {
            c = ' ';
        }
    }
    return title;
}

}  // namespace pikora
