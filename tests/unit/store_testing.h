// Small helpers shared by the store's unit tests.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "store/text_item.h"
#include "store/text_list.h"

namespace pikora::testing {

inline TextItem Normal(const std::string& name) {
    TextItem item;
    item.kind = KIND_NORMAL;
    item.title = name;
    item.text = name + " text";
    return item;
}

inline TextItem Locked(const std::string& name) {
    TextItem item = Normal(name);
    item.kind = KIND_LOCKED;
    return item;
}

inline TextItem OfKind(int32_t kind, const std::string& name) {
    TextItem item = Normal(name);
    item.kind = kind;
    return item;
}

inline TextItemList ListOf(std::initializer_list<TextItem> items) {
    TextItemList list;
    for (const TextItem& item : items) {
        list.AddTail(item);
    }
    return list;
}

inline std::vector<TextItem> Items(const TextItemList& list) {
    std::vector<TextItem> out;
    for (auto pos = list.GetHeadPosition(); pos != nullptr;) {
        out.push_back(list.GetNext(pos));
    }
    return out;
}

// Titles from the head, and checks on the way that walking back from the
// tail meets the same elements, so a broken prev link shows up in any test.
inline std::vector<std::string> Titles(const TextItemList& list) {
    std::vector<std::string> forward;
    for (auto pos = list.GetHeadPosition(); pos != nullptr;) {
        forward.push_back(list.GetNext(pos).title.str());
    }
    std::vector<std::string> backward;
    for (auto pos = list.GetTailPosition(); pos != nullptr;) {
        backward.insert(backward.begin(), list.GetPrev(pos).title.str());
    }
    if (backward != forward || static_cast<int>(forward.size()) != list.GetCount()) {
        return {"<links or count broken>"};
    }
    return forward;
}

inline std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out.push_back(static_cast<char>(v));
    }
    return out;
}

}  // namespace pikora::testing
