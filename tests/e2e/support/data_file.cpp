#include "support/data_file.h"

#include <algorithm>
#include <utility>

#include "support/common.h"

namespace e2e {

std::string Int32Bytes(int32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<size_t>(i)] =
            static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
    }
    return bytes;
}

std::string DatRecord(int32_t kind, int32_t reserved1, int32_t reserved2, const std::string& title,
                      const std::string& text) {
    return Int32Bytes(kind) + Int32Bytes(reserved1) + Int32Bytes(reserved2) +
           Int32Bytes(static_cast<int32_t>(title.size() + 1)) + title + '\0' +
           Int32Bytes(static_cast<int32_t>(text.size() + 1)) + text + '\0';
}

std::string HistoryRecord(const std::string& title, const std::string& text) {
    return DatRecord(kKindNormal, 0, -1, title, text);
}

std::string LockedRecord(const std::string& title, const std::string& text) {
    return DatRecord(kKindLocked, 0, -1, title, text);
}

DatEntry Locked(const std::string& title, const std::string& text) {
    return {kKindLocked, title, text};
}

DatEntry Normal(const std::string& title, const std::string& text) {
    return {kKindNormal, title, text};
}

std::string EncodeDat(const std::vector<DatEntry>& entries) {
    std::string bytes = Int32Bytes(static_cast<int32_t>(entries.size()));
    for (const DatEntry& e : entries) {
        bytes += DatRecord(e.kind, 0, -1, e.title, e.text);
    }
    return bytes;
}

DecodedDat DecodeDat(const std::string& bytes) {
    DecodedDat out;
    if (bytes.empty()) {
        out.complete = true;
        return out;
    }
    size_t pos = 0;
    auto readInt = [&](int32_t& value) {
        if (bytes.size() - pos < 4) {
            return false;
        }
        uint32_t u = 0;
        for (int i = 0; i < 4; ++i) {
            u |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[pos + i])) << (8 * i);
        }
        value = static_cast<int32_t>(u);
        pos += 4;
        return true;
    };
    auto readString = [&](std::string& value) {
        int32_t n = 0;
        if (!readInt(n) || n < 1 || static_cast<size_t>(n) > bytes.size() - pos ||
            bytes[pos + static_cast<size_t>(n) - 1] != '\0') {
            return false;
        }
        value.assign(bytes, pos, static_cast<size_t>(n) - 1);
        pos += static_cast<size_t>(n);
        return true;
    };
    int32_t count = 0;
    if (!readInt(count)) {
        out.problem = "shorter than the 4-byte count";
        return out;
    }
    if (count < 0) {
        out.problem = "negative count " + std::to_string(count);
        return out;
    }
    out.entries.reserve(std::min<size_t>(static_cast<size_t>(count), bytes.size() / 20));
    for (int32_t i = 0; i < count; ++i) {
        DatEntry e;
        int32_t reserved1 = 0;
        int32_t reserved2 = 0;
        if (!readInt(e.kind) || !readInt(reserved1) || !readInt(reserved2) ||
            !readString(e.title) || !readString(e.text)) {
            out.problem = "record " + std::to_string(i) + " of " + std::to_string(count) +
                          " is cut short or malformed (file size " + std::to_string(bytes.size()) +
                          ")";
            return out;
        }
        if (reserved1 != 0 || reserved2 != -1) {
            out.problem = "record " + std::to_string(i) + " of " + std::to_string(count) +
                          " has reserved fields " + std::to_string(reserved1) + " " +
                          std::to_string(reserved2) + ", not 0 -1";
            return out;
        }
        out.entries.push_back(std::move(e));
    }
    if (pos != bytes.size()) {
        out.problem = std::to_string(bytes.size() - pos) + " bytes follow the last of " +
                      std::to_string(count) + " records";
        return out;
    }
    out.complete = true;
    return out;
}

std::optional<std::vector<DatEntry>> CompleteDatEntries(const std::string& bytes) {
    DecodedDat decoded = DecodeDat(bytes);
    if (!decoded.complete) {
        return std::nullopt;
    }
    return std::move(decoded.entries);
}

std::string DescribeEntries(const std::vector<DatEntry>& entries) {
    std::string out;
    for (const DatEntry& e : entries) {
        out += "[" + std::to_string(e.kind) + "] " + Utf8(e.title) + " | " + Utf8(e.text) + "\n";
    }
    return out.empty() ? "(empty)\n" : out;
}

std::string SummarizeEntries(const std::vector<DatEntry>& entries, size_t limit) {
    std::string out = std::to_string(entries.size()) + " entries";
    for (size_t i = 0; i < entries.size() && i < limit; ++i) {
        const DatEntry& e = entries[i];
        std::string text = e.text.size() > 40 ? e.text.substr(0, 40) + "..." : e.text;
        out += "\n  [" + std::to_string(i) + "] kind " + std::to_string(e.kind) + " title '" +
               Utf8(e.title) + "' text '" + Utf8(text) + "'";
    }
    if (entries.size() > limit) {
        out += "\n  ...";
    }
    return out;
}

std::string DescribeDat(const std::optional<std::string>& bytes) {
    if (!bytes) {
        return "(no Pikora.dat)\n";
    }
    const DecodedDat decoded = DecodeDat(*bytes);
    return decoded.complete ? DescribeEntries(decoded.entries)
                            : "(malformed, " + decoded.problem + ": " + Hex(*bytes) + ")\n";
}

}  // namespace e2e
