// Which clipboard changes become history entries.
#pragma once

#include <cstdint>
#include <string>

#include "store/text_item.h"
#include "store/text_list.h"

namespace pikora {

struct CaptureGate {
    bool loaded;       // the data file has been read (or found absent)
    bool popupActive;  // a popup run, a FIFO paste or the tray's add dialog is busy
    bool historyMode;
};

// True when text is to be recorded: the data file has been loaded, nothing is
// busy, history mode is on, the text is not the last one recorded or put on
// the clipboard by the program, and it is not empty.
bool ShouldCapture(const CaptureGate& gate, const std::string& text,
                   const std::string& lastClipText);

// The markers that password managers and similar programs put next to a
// clipboard text they do not want recorded.
struct ClipboardMarks {
    bool excludeFromMonitor = false;   // "ExcludeClipboardContentFromMonitorProcessing" present
    bool viewerIgnore = false;         // "Clipboard Viewer Ignore" present
    bool historyAllowedKnown = false;  // "CanIncludeInClipboardHistory" present and readable
    uint32_t historyAllowed = 1;       // its DWORD value
};

constexpr const char* kExcludeFromMonitorFormat = "ExcludeClipboardContentFromMonitorProcessing";
constexpr const char* kViewerIgnoreFormat = "Clipboard Viewer Ignore";
constexpr const char* kCanIncludeInHistoryFormat = "CanIncludeInClipboardHistory";

bool IsPrivateClipboard(const ClipboardMarks& m);

// {KIND_NORMAL, 0, -1, MakeTitle(text), text}
TextItem MakeHistoryItem(const std::string& text);

// Puts a new history entry for text at the top and remembers text as the last
// one, when ShouldCapture allows it and the marks do not make it private.
// Returns whether it recorded; the caller then plays the sound and saves.
bool RecordHistoryText(TextItemList& list, std::string& lastClipText, const CaptureGate& gate,
                       const ClipboardMarks& marks, const std::string& text);

}  // namespace pikora
