// The ordered list of entries: index 0 (the head) is the top line of the popup
// list. Positions are handles of single elements, as the popup list and the
// dialogs look entries up by index and then act on the element found.
#pragma once

#include <memory>
#include <vector>

#include "store/text_item.h"

namespace pikora {

class TextItemList {
    struct Node;

  public:
    // Handle of one element; nullptr means none. Stays valid until that
    // element is removed.
    using POSITION = Node*;

    TextItemList() = default;
    TextItemList(const TextItemList& other);
    TextItemList(TextItemList&& other) noexcept;
    TextItemList& operator=(TextItemList other) noexcept;
    ~TextItemList() = default;

    void swap(TextItemList& other) noexcept;

    int GetCount() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }

    POSITION GetHeadPosition() const { return head_; }
    POSITION GetTailPosition() const { return tail_; }

    // Return the element at pos and move pos one step on (none after the end).
    TextItem& GetNext(POSITION& pos) { return Step(pos, pos->next); }
    const TextItem& GetNext(POSITION& pos) const { return Step(pos, pos->next); }
    TextItem& GetPrev(POSITION& pos) { return Step(pos, pos->prev); }
    const TextItem& GetPrev(POSITION& pos) const { return Step(pos, pos->prev); }

    // The element index steps from the head; none when index < 0 or >= count.
    POSITION FindIndex(int index) const;

    TextItem GetAt(POSITION pos) const;
    void SetAt(POSITION pos, const TextItem& item);

    POSITION AddHead(const TextItem& item);
    POSITION AddHead(TextItem&& item);
    POSITION AddTail(const TextItem& item);
    POSITION AddTail(TextItem&& item);
    // Just below pos; with none at the bottom.
    POSITION InsertAfter(POSITION pos, const TextItem& item);
    // Just above pos; with none at the top.
    POSITION InsertBefore(POSITION pos, const TextItem& item);

    void RemoveAt(POSITION pos);
    void RemoveAll();

  private:
    struct Node {
        TextItem item;
        Node* prev = nullptr;
        Node* next = nullptr;
    };
    // Nodes come in blocks and go back to a free list when removed, so a
    // history that keeps adding and dropping entries does not hit the heap for
    // every node. Everything is given back once the list is empty.
    static constexpr int kBlockSize = 10;

    static TextItem& Step(POSITION& pos, Node* to) {
        Node* here = pos;
        pos = to;
        return here->item;
    }
    Node* NewNode(TextItem&& item);
    void FreeNode(Node* node);
    void LinkAfter(Node* where, Node* node);   // where == nullptr: at the head
    void LinkBefore(Node* where, Node* node);  // where == nullptr: at the tail

    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    Node* free_ = nullptr;
    int count_ = 0;
    std::vector<std::unique_ptr<Node[]>> blocks_;
};

inline void swap(TextItemList& a, TextItemList& b) noexcept {
    a.swap(b);
}

}  // namespace pikora
