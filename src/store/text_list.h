// The ordered list of entries: index 0 (the head) is the top line of the popup
// list. Positions are handles of single elements, as the popup list and the
// dialogs look entries up by index and then act on the element found.
#pragma once

#include <memory>
#include <new>
#include <utility>
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
    ~TextItemList() { RemoveAll(); }

    void swap(TextItemList& other) noexcept;

    int GetCount() const { return count_; }

    // Goes up with every change of the elements or their order (never
    // down), so that a saver can tell whether the list changed since it
    // last wrote it without comparing the entries.
    unsigned long long Revision() const { return revision_; }
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
    // Appends an element built in place from its fields (kind, reserved1,
    // reserved2, title, text), for a reader that makes thousands of them.
    template <class... Fields>
    POSITION EmplaceTail(Fields&&... fields) {
        Node* node = new (AllocateNode()) Node{TextItem{std::forward<Fields>(fields)...}};
        ++count_;
        LinkBefore(nullptr, node);
        return node;
    }
    // Just below pos; with none at the bottom.
    POSITION InsertAfter(POSITION pos, const TextItem& item);
    // Just above pos; with none at the top.
    POSITION InsertBefore(POSITION pos, const TextItem& item);

    void RemoveAt(POSITION pos);
    void RemoveAll();

    // Room for the next n elements in one piece of memory (at most a block),
    // for a reader that knows roughly how many are coming.
    void Reserve(int n);

  private:
    struct Node {
        TextItem item;
        Node* prev = nullptr;
        Node* next = nullptr;
    };
    // A removed node's memory, waiting to be used again.
    struct FreeSlot {
        FreeSlot* next;
    };
    struct BlockDeleter {
        void operator()(void* p) const { ::operator delete(p); }
    };
    // Nodes live in raw blocks and are built only when used; removed ones go
    // back to a free list, so a history that keeps adding and dropping
    // entries does not hit the heap for every node. Blocks grow with the
    // list, which keeps a long list's nodes close together in memory (a save
    // walks all of them). Everything is given back once the list is empty.
    static constexpr int kMinBlock = 10;
    static constexpr int kMaxBlock = 256;

    static TextItem& Step(POSITION& pos, Node* to) {
        Node* here = pos;
        pos = to;
        return here->item;
    }
    void* NewBlock(int size);
    void* AllocateNode();  // memory for one node; count_ is the caller's
    Node* NewNode(TextItem&& item);
    void FreeNode(Node* node);
    void LinkAfter(Node* where, Node* node);   // where == nullptr: at the head
    void LinkBefore(Node* where, Node* node);  // where == nullptr: at the tail

    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    FreeSlot* free_ = nullptr;
    char* fresh_ = nullptr;  // never used memory in the newest block
    int freshLeft_ = 0;
    int count_ = 0;
    unsigned long long revision_ = 0;
    std::vector<std::unique_ptr<void, BlockDeleter>> blocks_;
};

inline void swap(TextItemList& a, TextItemList& b) noexcept {
    a.swap(b);
}

}  // namespace pikora
