#include "store/text_item.h"

namespace pikora {

bool operator==(const TextItem& a, const TextItem& b) {
    return a.kind == b.kind && a.reserved1 == b.reserved1 && a.reserved2 == b.reserved2 &&
           a.title == b.title && a.text == b.text;
}

bool operator!=(const TextItem& a, const TextItem& b) {
    return !(a == b);
}

}  // namespace pikora
