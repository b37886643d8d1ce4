#include "store/history_capture.h"

#include "store/make_title.h"

namespace pikora {

bool ShouldCapture(const CaptureGate& gate, const std::string& text,
                   const std::string& lastClipText) {
    // Until the data file has been read, a capture would be saved over the
    // stored list.
    if (!gate.loaded || gate.popupActive || !gate.historyMode) {
        return false;
    }
    return text != lastClipText && !text.empty();
}

bool IsPrivateClipboard(const ClipboardMarks& m) {
    return m.excludeFromMonitor || m.viewerIgnore ||
           (m.historyAllowedKnown && m.historyAllowed == 0);
}

TextItem MakeHistoryItem(const std::string& text) {
    TextItem item;
    item.kind = KIND_NORMAL;
    item.reserved1 = 0;
    item.reserved2 = -1;
    item.title = MakeTitle(text);
    item.text = text;
    return item;
}

bool RecordHistoryText(TextItemList& list, std::string& lastClipText, const CaptureGate& gate,
                       const ClipboardMarks& marks, const std::string& text) {
    if (!ShouldCapture(gate, text, lastClipText) || IsPrivateClipboard(marks)) {
        return false;
    }
    list.AddHead(MakeHistoryItem(text));
    lastClipText = text;
    return true;
}

}  // namespace pikora
