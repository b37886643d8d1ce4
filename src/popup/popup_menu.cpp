#include "popup/popup_menu.h"

#include "popup/item_draw.h"
#include "store/text_item.h"

namespace pikora {

MenuPoint KeyboardMenuPos(MenuPoint popup, int caretPosX, int caretPosY, int selection) {
    constexpr int kInset = 20;
    MenuPoint p;
    p.x = popup.x + caretPosX + kInset;
    p.y = popup.y + caretPosY + ITEM_HEIGHT * selection + kInset;
    return p;
}

KindCommands KindCommandsFor(int32_t kind) {
    KindCommands c;
    c.lockEnabled = kind == KIND_NORMAL;
    c.normalEnabled = kind == KIND_LOCKED;
    return c;
}

}  // namespace pikora
