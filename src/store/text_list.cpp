#include "store/text_list.h"

#include <algorithm>
#include <new>
#include <utility>

namespace pikora {

TextItemList::TextItemList(const TextItemList& other) {
    for (Node* n = other.head_; n != nullptr; n = n->next) {
        AddTail(n->item);
    }
}

TextItemList::TextItemList(TextItemList&& other) noexcept {
    swap(other);
}

TextItemList& TextItemList::operator=(TextItemList other) noexcept {
    swap(other);
    return *this;
}

void TextItemList::swap(TextItemList& other) noexcept {
    std::swap(head_, other.head_);
    std::swap(tail_, other.tail_);
    std::swap(free_, other.free_);
    std::swap(fresh_, other.fresh_);
    std::swap(freshLeft_, other.freshLeft_);
    std::swap(count_, other.count_);
    blocks_.swap(other.blocks_);
    ++revision_;
    ++other.revision_;
}

TextItemList::POSITION TextItemList::FindIndex(int index) const {
    if (index < 0 || index >= count_) {
        return nullptr;
    }
    Node* node;
    if (index <= count_ / 2) {
        node = head_;
        for (int i = 0; i < index; ++i) {
            node = node->next;
        }
    } else {
        node = tail_;
        for (int i = count_ - 1; i > index; --i) {
            node = node->prev;
        }
    }
    return node;
}

TextItem TextItemList::GetAt(POSITION pos) const {
    return pos->item;
}

void TextItemList::SetAt(POSITION pos, const TextItem& item) {
    pos->item = item;
    ++revision_;
}

TextItemList::POSITION TextItemList::AddHead(const TextItem& item) {
    return AddHead(TextItem(item));
}

TextItemList::POSITION TextItemList::AddHead(TextItem&& item) {
    Node* node = NewNode(std::move(item));
    LinkAfter(nullptr, node);
    return node;
}

TextItemList::POSITION TextItemList::AddTail(const TextItem& item) {
    return AddTail(TextItem(item));
}

TextItemList::POSITION TextItemList::AddTail(TextItem&& item) {
    Node* node = NewNode(std::move(item));
    LinkBefore(nullptr, node);
    return node;
}

TextItemList::POSITION TextItemList::InsertAfter(POSITION pos, const TextItem& item) {
    if (pos == nullptr) {
        return AddTail(item);
    }
    Node* node = NewNode(TextItem(item));
    LinkAfter(pos, node);
    return node;
}

TextItemList::POSITION TextItemList::InsertBefore(POSITION pos, const TextItem& item) {
    if (pos == nullptr) {
        return AddHead(item);
    }
    Node* node = NewNode(TextItem(item));
    LinkBefore(pos, node);
    return node;
}

void TextItemList::RemoveAt(POSITION pos) {
    Node* node = pos;
    (node->prev != nullptr ? node->prev->next : head_) = node->next;
    (node->next != nullptr ? node->next->prev : tail_) = node->prev;
    FreeNode(node);
    ++revision_;
}

void TextItemList::RemoveAll() {
    for (Node* node = head_; node != nullptr;) {
        Node* next = node->next;
        node->~Node();
        node = next;
    }
    head_ = tail_ = nullptr;
    free_ = nullptr;
    fresh_ = nullptr;
    freshLeft_ = 0;
    count_ = 0;
    blocks_.clear();
    ++revision_;
}

void TextItemList::Reserve(int n) {
    n = std::min(n, kMaxBlock);
    if (n > freshLeft_) {
        fresh_ = static_cast<char*>(NewBlock(n));
        freshLeft_ = n;
    }
}

void* TextItemList::NewBlock(int size) {
    // Registered before it is used, so a failing push_back leaves the list
    // as it was.
    if (blocks_.size() == blocks_.capacity()) {
        blocks_.reserve(std::max<std::size_t>(8, 2 * blocks_.size()));
    }
    void* block = ::operator new(sizeof(Node) * static_cast<std::size_t>(size));
    blocks_.emplace_back(block);
    return block;
}

void* TextItemList::AllocateNode() {
    if (free_ != nullptr) {
        void* memory = free_;
        free_ = free_->next;
        return memory;
    }
    if (freshLeft_ == 0) {
        const int size = std::clamp(count_, kMinBlock, kMaxBlock);
        fresh_ = static_cast<char*>(NewBlock(size));
        freshLeft_ = size;
    }
    void* memory = fresh_;
    fresh_ += sizeof(Node);
    --freshLeft_;
    return memory;
}

TextItemList::Node* TextItemList::NewNode(TextItem&& item) {
    Node* node = new (AllocateNode()) Node{std::move(item)};
    ++count_;
    return node;
}

void TextItemList::FreeNode(Node* node) {
    node->~Node();
    --count_;
    if (count_ == 0) {
        RemoveAll();
        return;
    }
    free_ = new (node) FreeSlot{free_};
}

void TextItemList::LinkAfter(Node* where, Node* node) {
    ++revision_;
    Node* next = where != nullptr ? where->next : head_;
    node->prev = where;
    node->next = next;
    (where != nullptr ? where->next : head_) = node;
    (next != nullptr ? next->prev : tail_) = node;
}

void TextItemList::LinkBefore(Node* where, Node* node) {
    ++revision_;
    Node* prev = where != nullptr ? where->prev : tail_;
    node->next = where;
    node->prev = prev;
    (where != nullptr ? where->prev : tail_) = node;
    (prev != nullptr ? prev->next : head_) = node;
}

}  // namespace pikora
