// Rules of the popup run that need no window: where the popup goes and what
// happens to the list after a paste.
#pragma once

#include "store/text_list.h"

namespace pikora {

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The popup is kept on screen as if it had its default size, whatever size the
// user gave it.
constexpr int kClampWidth = 155;
constexpr int kClampHeight = 225;

// The caret's client point taken relative to the focus window's outer corner;
// each coordinate left of or above the desktop becomes its edge. With one
// monitor the desktop starts at 0; a monitor left of or above the primary
// one has negative coordinates, which must stay so that the popup opens on
// the caret's own monitor.
ScreenPoint CaretScreenPoint(ScreenPoint caretClient, const ScreenRect& focusWindow,
                             ScreenPoint desktopOrigin = {});

// Top-left corner of the popup: p (plus the offsets when p is a located caret)
// kept inside the monitor rectangle as a 155 x 225 window.
ScreenPoint PlacePopup(ScreenPoint p, bool addOffsets, int offsetX, int offsetY,
                       const ScreenRect& monitor);

// A hand-edited Pikora.ini can hold a popup size or opacity that would make
// the popup invisible (a size of 0 or less, an opacity of 0, or one past 255,
// which the window would take modulo 256). These give what is shown instead;
// the stored values stay as they are.
struct PopupSize {
    int width = 0;
    int height = 0;
};
constexpr int kMinPopupWidth = 60;
constexpr int kMinPopupHeight = 40;
constexpr int kMaxPopupSide = 8192;
PopupSize UsablePopupSize(int width, int height);
// The opacities the settings dialog can set: 25 (its right end) to 255.
constexpr int kMinPopupOpacity = 25;
int UsablePopupOpacity(int value);

// The list after the entry at index was pasted. Returns true when selectId
// was changed (the entry moved to the top).
bool UpdateListAfterPaste(TextItemList& list, int index, bool useItemMoveTop, bool normalDelete,
                          int& selectId);

}  // namespace pikora
