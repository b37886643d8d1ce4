#include "store/data_file.h"

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

inline char* PutString(char* p, const std::string& s) {
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

void CheckFieldLength(const std::string& s) {
    // The length field holds size + 1 as a signed 32-bit number.
    if (s.size() >= static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        throw std::length_error("entry too long for the data file");
    }
}

// Reads one length-prefixed string at bytes[pos]; false when the length is
// negative or runs past the end.
bool ReadString(std::string_view bytes, std::size_t& pos, std::string& out) {
    if (bytes.size() - pos < 4) {
        return false;
    }
    const int32_t length = GetInt(bytes.data() + pos);
    pos += 4;
    if (length < 0 || static_cast<uint32_t>(length) > bytes.size() - pos) {
        return false;
    }
    const char* field = bytes.data() + pos;
    const auto* nul = static_cast<const char*>(std::memchr(field, '\0', length));
    out.assign(field, nul != nullptr ? static_cast<std::size_t>(nul - field)
                                     : static_cast<std::size_t>(length));
    pos += static_cast<std::size_t>(length);
    return true;
}

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

DecodeResult DecodeDataFile(std::string_view bytes, TextItemList& out) {
    DecodeResult result;
    out.RemoveAll();
    if (bytes.size() < 4) {
        return result;
    }
    result.declared = GetInt(bytes.data());
    std::size_t pos = 4;
    // The loop is bounded by the bytes, not by the count, so a count that
    // promises millions of entries costs nothing.
    for (int i = 0; i < result.declared; ++i) {
        TextItem item;
        if (bytes.size() - pos < 12) {
            result.damaged = true;
            break;
        }
        item.kind = GetInt(bytes.data() + pos);
        item.reserved1 = GetInt(bytes.data() + pos + 4);
        item.reserved2 = GetInt(bytes.data() + pos + 8);
        pos += 12;
        if (!ReadString(bytes, pos, item.title) || !ReadString(bytes, pos, item.text)) {
            result.damaged = true;
            break;
        }
        out.AddTail(std::move(item));
        ++result.read;
    }
    return result;
}

}  // namespace pikora
