// Rules of the popup run that need no window: where the popup goes and what
// happens to the list after a paste.
#pragma once

#include <string>

#include "macro/launcher.h"
#include "macro/local_time.h"
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
// kept inside the monitor rectangle as a 155 x 225 window. The offsets and
// that box are 96-DPI numbers, scaled to the monitor's dpi.
ScreenPoint PlacePopup(ScreenPoint p, bool addOffsets, int offsetX, int offsetY,
                       const ScreenRect& monitor, int dpi = 96);

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

// The text a chosen entry pastes: its macro blocks expanded at `now`. Only a
// locked entry, which the user typed, inserted from a template or locked
// after seeing it, may open documents or start programs through launcher.
// Any other entry may be text that was merely copied (from a web page, a
// mail), and a copied text must never run anything: its launch macros are
// removed from the text just the same, but nothing is opened or started.
std::string ExpandEntryForPaste(const TextItem& entry, const LocalTime& now, Launcher& launcher);

// The list after the entry at index was pasted. Returns true when selectId
// was changed (the entry moved to the top).
bool UpdateListAfterPaste(TextItemList& list, int index, bool useItemMoveTop, bool normalDelete,
                          int& selectId);

}  // namespace pikora
