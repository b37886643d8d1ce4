#include "store/list_ops.h"

#include <utility>

namespace pikora {

std::string TakeOldestNormalText(TextItemList& list) {
    TextItemList::POSITION pos = list.GetTailPosition();
    while (pos != nullptr) {
        TextItemList::POSITION here = pos;
        TextItem& item = list.GetPrev(pos);
        if (IsNormal(item)) {
            std::string text = item.text.str();
            list.RemoveAt(here);
            return text;
        }
    }
    return std::string();
}

std::string OldestNormalText(const TextItemList& list) {
    TextItemList::POSITION pos = list.GetTailPosition();
    while (pos != nullptr) {
        const TextItem& item = list.GetPrev(pos);
        if (IsNormal(item)) {
            return item.text.str();
        }
    }
    return std::string();
}

void ClearNormalItems(TextItemList& list) {
    TextItemList::POSITION pos = list.GetHeadPosition();
    while (pos != nullptr) {
        TextItemList::POSITION here = pos;
        const TextItem& item = list.GetNext(pos);
        if (IsNormal(item)) {
            list.RemoveAt(here);
        }
    }
}

void MoveItem(TextItemList& list, int source, int destination) {
    if (source == destination) {
        return;
    }
    // Both positions are taken before the list changes: the destination is
    // an element, not an index, so it is not shifted by the removal.
    TextItemList::POSITION from = list.FindIndex(source);
    TextItemList::POSITION to = list.FindIndex(destination);
    if (from == nullptr) {
        return;
    }
    TextItem moved = list.GetAt(from);
    list.RemoveAt(from);
    list.InsertBefore(to, moved);
}

TextItemList::POSITION AddLockedItem(TextItemList& list, int insertIndex, std::string_view title,
                                     std::string_view text) {
    TextItem item;
    item.kind = KIND_LOCKED;
    item.title = title;
    item.text = text;
    if (insertIndex == -1) {
        return list.AddHead(std::move(item));
    }
    return list.InsertAfter(list.FindIndex(insertIndex), item);
}

}  // namespace pikora
