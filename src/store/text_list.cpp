#include "store/text_list.h"

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
    std::swap(count_, other.count_);
    blocks_.swap(other.blocks_);
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
}

void TextItemList::RemoveAll() {
    head_ = tail_ = free_ = nullptr;
    count_ = 0;
    blocks_.clear();
}

TextItemList::Node* TextItemList::NewNode(TextItem&& item) {
    if (free_ == nullptr) {
        // Register the block before threading it onto the free list, so a
        // failing push_back leaves the list as it was.
        blocks_.push_back(std::make_unique<Node[]>(kBlockSize));
        Node* block = blocks_.back().get();
        for (int i = kBlockSize - 1; i >= 0; --i) {
            block[i].next = free_;
            free_ = &block[i];
        }
    }
    Node* node = free_;
    free_ = node->next;
    node->item = std::move(item);
    node->prev = nullptr;
    node->next = nullptr;
    ++count_;
    return node;
}

void TextItemList::FreeNode(Node* node) {
    --count_;
    if (count_ == 0) {
        RemoveAll();
        return;
    }
    node->item = TextItem();
    node->prev = nullptr;
    node->next = free_;
    free_ = node;
}

void TextItemList::LinkAfter(Node* where, Node* node) {
    Node* next = where != nullptr ? where->next : head_;
    node->prev = where;
    node->next = next;
    (where != nullptr ? where->next : head_) = node;
    (next != nullptr ? next->prev : tail_) = node;
}

void TextItemList::LinkBefore(Node* where, Node* node) {
    Node* prev = where != nullptr ? where->prev : tail_;
    node->next = where;
    node->prev = prev;
    (where != nullptr ? where->prev : tail_) = node;
    (prev != nullptr ? prev->next : head_) = node;
}

}  // namespace pikora
