#include "store/shared_text.h"

#include <cstring>
#include <new>

namespace pikora {

TextBlock* TextBlock::Create(std::size_t size, std::size_t references) {
    void* memory = ::operator new(sizeof(TextBlock) + size);
    return new (memory) TextBlock(references);
}

void TextBlock::Release(std::size_t n) {
    if (refs_.fetch_sub(n, std::memory_order_acq_rel) == n) {
        this->~TextBlock();
        ::operator delete(this);
    }
}

SharedText::SharedText(std::string_view s) {
    if (s.empty()) {
        return;
    }
    block_ = TextBlock::Create(s.size() + 1, 1);
    char* bytes = block_->bytes();
    std::memcpy(bytes, s.data(), s.size());
    bytes[s.size()] = '\0';
    data_ = bytes;
    size_ = s.size();
}

}  // namespace pikora
