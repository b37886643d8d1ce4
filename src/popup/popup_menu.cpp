#include "popup/popup_menu.h"

#include "popup/dpi_scale.h"
#include "popup/item_draw.h"
#include "store/text_item.h"

namespace pikora {

MenuPoint KeyboardMenuPos(MenuPoint popup, int caretPosX, int caretPosY, int selection, int dpi) {
    constexpr int kInset = 20;
    MenuPoint p;
    p.x = popup.x + ScaleForDpi(caretPosX + kInset, dpi);
    p.y =
        popup.y + ScaleForDpi(caretPosY + kInset, dpi) + ScaleForDpi(ITEM_HEIGHT, dpi) * selection;
    return p;
}

KindCommands KindCommandsFor(int32_t kind) {
    KindCommands c;
    c.lockEnabled = kind == KIND_NORMAL;
    c.normalEnabled = kind == KIND_LOCKED;
    return c;
}

}  // namespace pikora
