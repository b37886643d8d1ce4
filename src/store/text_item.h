// One entry of the text list: a recorded clipboard text or a phrase the user
// registered. The two kinds differ only in the kind field.
#pragma once

#include <cstdint>

#include "store/shared_text.h"

namespace pikora {

constexpr int32_t KIND_NORMAL = 0;
constexpr int32_t KIND_LOCKED = 1;

struct TextItem {
    // Anything but KIND_NORMAL (say, a kind 2 read from a foreign file) is
    // treated as locked by every rule of the store.
    int32_t kind = KIND_NORMAL;
    int32_t reserved1 = 0;
    int32_t reserved2 = -1;
    SharedText title;  // CP932 bytes
    SharedText text;   // CP932 bytes, may hold CR LF
};

bool operator==(const TextItem& a, const TextItem& b);
bool operator!=(const TextItem& a, const TextItem& b);

inline bool IsNormal(const TextItem& item) {
    return item.kind == KIND_NORMAL;
}

}  // namespace pikora
