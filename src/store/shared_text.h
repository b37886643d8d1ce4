// The bytes of one field of an entry (a title or a text), CP932, immutable and
// shared by reference count. Entries are copied far more often than they are
// changed (the popup and the dialogs work on copies), and a copy here costs a
// count, not an allocation. A whole data file loads into one block that every
// field read from it points into, so loading thousands of entries costs one
// allocation for all their bytes.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace pikora {

// A counted block of bytes that fields point into.
class TextBlock {
  public:
    // Room for size bytes; the caller holds the given number of references.
    static TextBlock* Create(std::size_t size, std::size_t references);

    char* bytes() { return reinterpret_cast<char*>(this + 1); }

    void AddRef(std::size_t n = 1) { refs_.fetch_add(n, std::memory_order_relaxed); }
    // Frees the block with its last reference.
    void Release(std::size_t n = 1);

  private:
    explicit TextBlock(std::size_t references) : refs_(references) {}
    std::atomic<std::size_t> refs_;
};

class SharedText {
  public:
    SharedText() noexcept = default;
    SharedText(std::string_view s);  // NOLINT: as easy to assign as a string
    SharedText(const std::string& s) : SharedText(std::string_view(s)) {}  // NOLINT
    SharedText(const char* s) : SharedText(std::string_view(s)) {}         // NOLINT
    SharedText(const SharedText& other) noexcept
        : data_(other.data_), size_(other.size_), block_(other.block_) {
        if (block_ != nullptr) {
            block_->AddRef();
        }
    }
    SharedText(SharedText&& other) noexcept
        : data_(other.data_), size_(other.size_), block_(other.block_) {
        other.data_ = "";
        other.size_ = 0;
        other.block_ = nullptr;
    }
    SharedText& operator=(const SharedText& other) noexcept {
        SharedText(other).swap(*this);
        return *this;
    }
    SharedText& operator=(SharedText&& other) noexcept {
        SharedText(std::move(other)).swap(*this);
        return *this;
    }
    ~SharedText() {
        if (block_ != nullptr) {
            block_->Release();
        }
    }

    // size bytes at data inside block, followed by a NUL; takes over one of
    // the references the caller holds on block.
    static SharedText InBlock(TextBlock* block, const char* data, std::size_t size) noexcept {
        SharedText text;
        text.data_ = data;
        text.size_ = size;
        text.block_ = block;
        return text;
    }

    void swap(SharedText& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(block_, other.block_);
    }

    const char* data() const { return data_; }
    const char* c_str() const { return data_; }  // always NUL-terminated
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string str() const { return std::string(data_, size_); }
    operator std::string_view() const noexcept { return {data_, size_}; }  // NOLINT

  private:
    const char* data_ = "";
    std::size_t size_ = 0;
    TextBlock* block_ = nullptr;  // none for the empty text
};

inline void swap(SharedText& a, SharedText& b) noexcept {
    a.swap(b);
}

inline bool operator==(const SharedText& a, const SharedText& b) {
    return std::string_view(a) == std::string_view(b);
}
inline bool operator!=(const SharedText& a, const SharedText& b) {
    return !(a == b);
}
inline bool operator==(const SharedText& a, std::string_view b) {
    return std::string_view(a) == std::string_view(b);
}
inline bool operator!=(const SharedText& a, std::string_view b) {
    return !(a == b);
}
inline bool operator==(std::string_view a, const SharedText& b) {
    return std::string_view(a) == std::string_view(b);
}
inline bool operator!=(std::string_view a, const SharedText& b) {
    return !(a == b);
}
inline bool operator==(const SharedText& a, const char* b) {
    return std::string_view(a) == std::string_view(b);
}
inline bool operator!=(const SharedText& a, const char* b) {
    return !(a == b);
}
inline bool operator==(const SharedText& a, const std::string& b) {
    return std::string_view(a) == std::string_view(b);
}
inline bool operator!=(const SharedText& a, const std::string& b) {
    return !(a == b);
}

}  // namespace pikora
