#include "popup/popup_run_rules.h"

#include <algorithm>

#include "macro/expand_macros.h"
#include "popup/dpi_scale.h"

namespace pikora {

namespace {

// Expands launch macros to nothing, the way the real launcher leaves no text
// behind, without running anything.
class NoLaunch : public Launcher {
  public:
    void OpenDocument(const std::string&) override {}
    void StartProgram(const std::string&) override {}
};

}  // namespace

std::string ExpandEntryForPaste(const TextItem& entry, const LocalTime& now, Launcher& launcher) {
    NoLaunch none;
    return ExpandMacros(std::string_view(entry.text), now,
                        entry.kind == KIND_LOCKED ? launcher : none);
}

ScreenPoint CaretScreenPoint(ScreenPoint caretClient, const ScreenRect& focusWindow,
                             ScreenPoint desktopOrigin) {
    ScreenPoint p{caretClient.x + focusWindow.left, caretClient.y + focusWindow.top};
    p.x = std::max(p.x, desktopOrigin.x);
    p.y = std::max(p.y, desktopOrigin.y);
    return p;
}

ScreenPoint PlacePopup(ScreenPoint p, bool addOffsets, int offsetX, int offsetY,
                       const ScreenRect& monitor, int dpi) {
    if (addOffsets) {
        p.x += ScaleForDpi(offsetX, dpi);
        p.y += ScaleForDpi(offsetY, dpi);
    }
    const int clampWidth = ScaleForDpi(kClampWidth, dpi);
    const int clampHeight = ScaleForDpi(kClampHeight, dpi);
    if (p.y + clampHeight > monitor.bottom) {
        p.y = monitor.bottom - clampHeight;
    }
    if (p.x + clampWidth > monitor.right) {
        p.x = monitor.right - clampWidth;
    }
    // On the primary monitor the edges are 0; a monitor left of or above it
    // has negative edges, where 0 would be the wrong monitor.
    if (p.y < monitor.top) {
        p.y = monitor.top;
    }
    if (p.x < monitor.left) {
        p.x = monitor.left;
    }
    return p;
}

bool UpdateListAfterPaste(TextItemList& list, int index, bool useItemMoveTop, bool normalDelete,
                          int& selectId) {
    TextItemList::POSITION pos = list.FindIndex(index);
    if (!pos) {
        return false;
    }
    const TextItem entry = list.GetAt(pos);
    bool moved = false;
    if (useItemMoveTop) {
        list.RemoveAt(pos);
        pos = list.AddHead(entry);
        selectId = entry.reserved1;
        moved = true;
    }
    if (entry.kind == KIND_NORMAL && normalDelete) {
        list.RemoveAt(pos);
    }
    return moved;
}

PopupSize UsablePopupSize(int width, int height) {
    return {std::clamp(width, kMinPopupWidth, kMaxPopupSide),
            std::clamp(height, kMinPopupHeight, kMaxPopupSide)};
}

int UsablePopupOpacity(int value) {
    return std::clamp(value, kMinPopupOpacity, 255);
}

}  // namespace pikora
