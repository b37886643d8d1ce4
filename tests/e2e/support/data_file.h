// Pikora.dat as the tests write and read it. Built from the file's layout
// alone, not through the program's own reader and writer, so that a mistake
// there cannot hide behind the same mistake in the test.
//
// Layout: a 32-bit count, then per entry {kind, reserved1, reserved2, title,
// text}; numbers are little-endian 32-bit, and each string is preceded by its
// length including the NUL that ends it. reserved1 is 0 and reserved2 -1.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

constexpr int32_t kKindNormal = 0;
constexpr int32_t kKindLocked = 1;

// Four little-endian bytes.
std::string Int32Bytes(int32_t value);

// One record as it stands in the file, reserved fields included.
std::string DatRecord(int32_t kind, int32_t reserved1, int32_t reserved2, const std::string& title,
                      const std::string& text);
// A normal entry, as a history capture records it.
std::string HistoryRecord(const std::string& title, const std::string& text);
std::string LockedRecord(const std::string& title, const std::string& text);

struct DatEntry {
    int32_t kind = kKindLocked;
    std::string title;
    std::string text;

    bool operator==(const DatEntry& o) const {
        return kind == o.kind && title == o.title && text == o.text;
    }
    bool operator!=(const DatEntry& o) const { return !(*this == o); }
};

DatEntry Locked(const std::string& title, const std::string& text);
DatEntry Normal(const std::string& title, const std::string& text);

// Count, then the entries in order with reserved1 0 and reserved2 -1.
std::string EncodeDat(const std::vector<DatEntry>& entries);

// A data file read strictly: every record the count promises must be there in
// full with reserved1 0 and reserved2 -1, and nothing may follow the last one.
// An empty file is a complete empty list.
struct DecodedDat {
    bool complete = false;
    // Everything read; when incomplete, the records before the problem.
    std::vector<DatEntry> entries;
    // What is wrong, when incomplete.
    std::string problem;
};

DecodedDat DecodeDat(const std::string& bytes);

// The entries of a complete file; nothing when DecodeDat finds a problem.
std::optional<std::vector<DatEntry>> CompleteDatEntries(const std::string& bytes);

// "[kind] title | text" per entry, UTF-8, for failure messages and for
// comparing lists with a readable diff.
std::string DescribeEntries(const std::vector<DatEntry>& entries);

// The number of entries and the first `limit` of them, texts cut at 40 bytes:
// for lists too long to print whole.
std::string SummarizeEntries(const std::vector<DatEntry>& entries, size_t limit = 6);

// DescribeEntries of a file's bytes, or what keeps them from being read.
std::string DescribeDat(const std::optional<std::string>& bytes);

}  // namespace e2e
