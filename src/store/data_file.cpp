#include "store/data_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

namespace pikora {

namespace {

constexpr std::size_t kRecordFixed = 20;  // kind, reserved1, reserved2, two lengths

inline char* PutInt(char* p, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    p[0] = static_cast<char>(u & 0xFF);
    p[1] = static_cast<char>((u >> 8) & 0xFF);
    p[2] = static_cast<char>((u >> 16) & 0xFF);
    p[3] = static_cast<char>((u >> 24) & 0xFF);
    return p + 4;
}

inline char* PutString(char* p, const SharedText& s) {
    p = PutInt(p, static_cast<int32_t>(s.size() + 1));
    if (!s.empty()) {
        std::memcpy(p, s.data(), s.size());
    }
    p[s.size()] = '\0';
    return p + s.size() + 1;
}

inline int32_t GetInt(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                                (static_cast<uint32_t>(b[2]) << 16) |
                                (static_cast<uint32_t>(b[3]) << 24));
}

bool Written(const TextItem& item, bool noKeyClear) {
    return !(noKeyClear && IsNormal(item));
}

void CheckFieldLength(const SharedText& s) {
    // The length field holds size + 1 as a signed 32-bit number.
    if (s.size() >= static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        throw std::length_error("entry too long for the data file");
    }
}

// Where one field's value lies in the copy of the records.
struct Field {
    const char* data = nullptr;
    std::size_t size = 0;
    bool terminated = false;  // a NUL follows the value inside the field
};

// Finds the length-prefixed field at bytes[pos] and steps over it; false when
// the length is negative or runs past the end.
bool FindField(std::string_view bytes, std::size_t& pos, Field& out) {
    if (bytes.size() - pos < 4) {
        return false;
    }
    const int32_t length = GetInt(bytes.data() + pos);
    pos += 4;
    if (length < 0 || static_cast<uint32_t>(length) > bytes.size() - pos) {
        return false;
    }
    out.data = bytes.data() + pos;
    pos += static_cast<std::size_t>(length);
    const auto* nul = static_cast<const char*>(std::memchr(out.data, '\0', length));
    out.terminated = nul != nullptr;
    out.size = static_cast<std::size_t>(nul != nullptr ? nul - out.data : length);
    return true;
}

// References on the block the fields of a load point into. Enough are taken
// up front for every field the bytes could hold; whatever is not handed to a
// field is given back when the load ends, also when it ends by an exception.
class BlockReferences {
  public:
    BlockReferences(TextBlock* block, std::size_t count) : block_(block), left_(count) {}
    BlockReferences(const BlockReferences&) = delete;
    BlockReferences& operator=(const BlockReferences&) = delete;
    ~BlockReferences() { block_->Release(left_); }

    SharedText Text(const Field& field) {
        if (field.size == 0) {
            return SharedText();  // the empty text needs no bytes
        }
        if (!field.terminated) {
            // A field without its NUL (not written by this program) gets
            // bytes of its own, as the byte after it belongs to the next one.
            return SharedText(std::string_view(field.data, field.size));
        }
        --left_;
        return SharedText::InBlock(block_, field.data, field.size);
    }

  private:
    TextBlock* block_;
    std::size_t left_;
};

}  // namespace

std::string EncodeDataFile(const TextItemList& list, bool noKeyClear) {
    if (list.IsEmpty()) {
        return std::string();
    }
    std::size_t total = 4;
    int32_t count = 0;
    for (auto pos = list.GetHeadPosition(); pos != nullptr;) {
        const TextItem& item = list.GetNext(pos);
        if (Written(item, noKeyClear)) {
            CheckFieldLength(item.title);
            CheckFieldLength(item.text);
            total += kRecordFixed + item.title.size() + 1 + item.text.size() + 1;
            ++count;
        }
    }
    std::string out(total, '\0');
    char* p = PutInt(out.data(), count);
    for (auto pos = list.GetHeadPosition(); pos != nullptr;) {
        const TextItem& item = list.GetNext(pos);
        if (Written(item, noKeyClear)) {
            p = PutInt(p, item.kind);
            p = PutInt(p, item.reserved1);
            p = PutInt(p, item.reserved2);
            p = PutString(p, item.title);
            p = PutString(p, item.text);
        }
    }
    return out;
}

DecodeResult DecodeDataFile(std::string_view file, TextItemList& out) {
    DecodeResult result;
    out.RemoveAll();
    if (file.size() < 4) {
        return result;
    }
    result.declared = GetInt(file.data());
    if (result.declared <= 0) {
        return result;
    }
    // Every field read points into one copy of the records. A field that
    // takes a reference holds at least one byte and its NUL, which bounds how
    // many references the copy can be asked for.
    const std::string_view records = file.substr(4);
    const std::size_t maxFields = records.size() / 2;
    TextBlock* block = TextBlock::Create(records.size(), maxFields + 1);
    BlockReferences refs(block, maxFields + 1);
    if (!records.empty()) {
        std::memcpy(block->bytes(), records.data(), records.size());
    }
    const std::string_view bytes(block->bytes(), records.size());
    // Room for the records the bytes can hold (one block at most), so the
    // nodes of a typical list come from a single allocation.
    out.Reserve(static_cast<int>(
        std::min(static_cast<std::size_t>(result.declared), records.size() / kRecordFixed)));

    std::size_t pos = 0;
    // The loop is bounded by the bytes, not by the count, so a count that
    // promises millions of entries costs nothing.
    for (int i = 0; i < result.declared; ++i) {
        if (bytes.size() - pos < 12) {
            result.damaged = true;
            break;
        }
        const int32_t kind = GetInt(bytes.data() + pos);
        const int32_t reserved1 = GetInt(bytes.data() + pos + 4);
        const int32_t reserved2 = GetInt(bytes.data() + pos + 8);
        pos += 12;
        Field title;
        Field text;
        if (!FindField(bytes, pos, title) || !FindField(bytes, pos, text)) {
            result.damaged = true;
            break;
        }
        out.EmplaceTail(kind, reserved1, reserved2, refs.Text(title), refs.Text(text));
        ++result.read;
    }
    return result;
}

}  // namespace pikora
