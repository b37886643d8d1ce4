#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "store/data_file.h"
#include "store/file_error.h"
#include "store_testing.h"

#if defined(__SANITIZE_ADDRESS__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                             std::size_t),
                                                         void (*free_hook)(const volatile void*));
#endif

namespace pikora {
namespace {

using testing::Bytes;
using testing::Items;
using testing::ListOf;
using testing::Locked;
using testing::Normal;
using testing::OfKind;
using testing::Titles;
using Strings = std::vector<std::string>;

std::string Le32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    return Bytes({static_cast<int>(u & 0xFF), static_cast<int>((u >> 8) & 0xFF),
                  static_cast<int>((u >> 16) & 0xFF), static_cast<int>(u >> 24)});
}

std::string Record(int32_t kind, int32_t r1, int32_t r2, const std::string& title,
                   const std::string& text) {
    return Le32(kind) + Le32(r1) + Le32(r2) + Le32(static_cast<int32_t>(title.size() + 1)) + title +
           std::string(1, '\0') + Le32(static_cast<int32_t>(text.size() + 1)) + text +
           std::string(1, '\0');
}

// Decodes from a heap block of exactly the input's size, so that AddressSanitizer
// reports any read past the end (a std::string would hide it in its slack).
DecodeResult DecodeExact(const std::string& bytes, TextItemList& out) {
    auto block = std::make_unique<char[]>(bytes.empty() ? 1 : bytes.size());
    if (!bytes.empty()) {
        std::memcpy(block.get(), bytes.data(), bytes.size());
    }
    return DecodeDataFile(std::string_view(block.get(), bytes.size()), out);
}

// Watches the heap while a decode runs: the largest single block and the sum
// of all blocks asked for. Only available with AddressSanitizer's hooks.
class AllocationProbe {
  public:
    static bool Available() {
#if defined(__SANITIZE_ADDRESS__)
        static const bool installed =
            __sanitizer_install_malloc_and_free_hooks(&OnMalloc, &OnFree) != 0;
        return installed;
#else
        return false;
#endif
    }
    void Start() {
        State().largest = 0;
        State().total = 0;
        State().active = true;
    }
    void Stop() {
        State().active = false;
    }
    std::size_t Largest() const {
        return State().largest;
    }
    std::size_t Total() const {
        return State().total;
    }

  private:
    struct Counters {
        std::atomic<bool> active{false};
        std::atomic<std::size_t> largest{0};
        std::atomic<std::size_t> total{0};
    };
    static Counters& State() {
        static Counters counters;
        return counters;
    }
    static void OnMalloc(const volatile void*, std::size_t size) {
        Counters& c = State();
        if (c.active) {
            c.total += size;
            if (size > c.largest) {
                c.largest = size;
            }
        }
    }
    static void OnFree(const volatile void*) {}
};

TEST(DataFile, WritesAndReadsTheThirtyOneByteExample) {
    const std::string expected =
        Bytes({0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
               0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00, 0x61, 0x62,
               0x00, 0x04, 0x00, 0x00, 0x00, 0x78, 0x79, 0x7A, 0x00});
    ASSERT_EQ(expected.size(), 31u);
    const TextItem entry{KIND_LOCKED, 0, -1, "ab", "xyz"};
    const TextItemList list = ListOf({entry});
    EXPECT_EQ(EncodeDataFile(list, false), expected);
    EXPECT_EQ(EncodeDataFile(list, true), expected);  // locked entries stay with NoKeyClear

    TextItemList read;
    const DecodeResult r = DecodeExact(expected, read);
    EXPECT_EQ(r.declared, 1);
    EXPECT_EQ(r.read, 1);
    EXPECT_FALSE(r.damaged);
    ASSERT_EQ(read.GetCount(), 1);
    EXPECT_EQ(Items(read).front(), entry);
}

TEST(DataFile, EmptyListAndShortFilesMeanNoEntries) {
    EXPECT_EQ(EncodeDataFile(TextItemList(), false), "");
    EXPECT_EQ(EncodeDataFile(TextItemList(), true), "");

    for (const std::string& shortFile : {std::string(), Bytes({0x01}), Bytes({0x01, 0x00, 0x00})}) {
        TextItemList list = ListOf({Locked("left over")});
        const DecodeResult r = DecodeExact(shortFile, list);
        EXPECT_TRUE(list.IsEmpty()) << shortFile.size() << " bytes";
        EXPECT_EQ(r.declared, 0);
        EXPECT_EQ(r.read, 0);
        EXPECT_FALSE(r.damaged);
    }
}

TEST(DataFile, NoKeyClearLeavesNormalEntriesOut) {
    const TextItemList list = ListOf({Normal("N1"), Locked("L1"), Normal("N2"), Locked("L2")});
    const std::string file = EncodeDataFile(list, true);
    EXPECT_EQ(file,
              Le32(2) + Record(1, 0, -1, "L1", "L1 text") + Record(1, 0, -1, "L2", "L2 text"));
    TextItemList read;
    DecodeExact(file, read);
    EXPECT_EQ(Titles(read), (Strings{"L1", "L2"}));

    // Nothing but normal entries: just a count of 0, which reads back empty.
    const std::string countOnly = EncodeDataFile(ListOf({Normal("N1"), Normal("N2")}), true);
    EXPECT_EQ(countOnly, Bytes({0, 0, 0, 0}));
    TextItemList fromCountOnly = ListOf({Locked("left over")});
    EXPECT_FALSE(DecodeExact(countOnly, fromCountOnly).damaged);
    EXPECT_TRUE(fromCountOnly.IsEmpty());

    // A kind other than 0 or 1 is kept like a locked entry.
    EXPECT_EQ(EncodeDataFile(ListOf({OfKind(2, "K2"), Normal("N")}), true),
              Le32(1) + Record(2, 0, -1, "K2", "K2 text"));
}

TEST(DataFile, RoundTripKeepsEveryFieldAndByte) {
    const TextItem crlf{KIND_NORMAL, 0, -1, "two lines", "first\r\nsecond\r\n"};
    // 表 and ソ end in 0x5C, ー in 0x5B, the ideographic space in 0x40.
    const TextItem cp932{KIND_LOCKED, 0, -1, "表示ソフト", "ー　\x81@\xFC\xFC\x9F\x5C end"};
    const TextItem empty{KIND_LOCKED, 0, -1, "", ""};
    const TextItem odd{2, 123, -7, "kind 2", "kept"};
    const TextItem extremes{INT32_MIN, INT32_MAX, -1, "x", std::string(1000, 'y')};
    const TextItemList list = ListOf({crlf, cp932, empty, odd, extremes, Normal("N")});

    const std::string file = EncodeDataFile(list, false);
    TextItemList read;
    const DecodeResult r = DecodeExact(file, read);
    EXPECT_FALSE(r.damaged);
    EXPECT_EQ(r.declared, 6);
    EXPECT_EQ(r.read, 6);
    EXPECT_EQ(Items(read), Items(list));
    EXPECT_EQ(EncodeDataFile(read, false), file);

    // An empty title and text are each a length of 1 and one NUL byte.
    EXPECT_EQ(EncodeDataFile(ListOf({empty}), false),
              Le32(1) + Le32(1) + Le32(0) + Le32(-1) + Le32(1) + Bytes({0}) + Le32(1) + Bytes({0}));
    // CR LF and CP932 bytes go to the file as they are.
    EXPECT_NE(file.find("first\r\nsecond\r\n"), std::string::npos);
    EXPECT_NE(file.find(cp932.text), std::string::npos);
}

TEST(DataFile, NonPositiveCountIsAnEmptyList) {
    for (int32_t count : {0, -5, INT32_MIN}) {
        TextItemList list = ListOf({Locked("left over")});
        const DecodeResult r = DecodeExact(Le32(count) + Record(1, 0, -1, "a", "b"), list);
        EXPECT_TRUE(list.IsEmpty()) << count;
        EXPECT_EQ(r.declared, count);
        EXPECT_EQ(r.read, 0);
        EXPECT_FALSE(r.damaged);
    }
}

TEST(DataFile, StringValueIsTheBytesBeforeTheFirstNulOfItsField) {
    // Field lengths that include extra bytes after a NUL, a field without any
    // NUL, and a zero length: the record boundaries still follow the lengths.
    const std::string file = Le32(2) + Le32(1) + Le32(0) + Le32(-1) + Le32(5) +
                             Bytes({'a', 'b', 0, 'c', 'd'}) + Le32(3) + Bytes({'x', 'y', 'z'}) +  //
                             Le32(1) + Le32(0) + Le32(-1) + Le32(0) + Le32(2) + Bytes({'q', 0});
    TextItemList list;
    const DecodeResult r = DecodeExact(file, list);
    EXPECT_FALSE(r.damaged);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(Items(list)[0].title, "ab");
    EXPECT_EQ(Items(list)[0].text, "xyz");
    EXPECT_EQ(Items(list)[1].title, "");
    EXPECT_EQ(Items(list)[1].text, "q");
    // Each value ends with a NUL of its own, also where the field had none
    // and the next byte in the file is the following length.
    for (const TextItem& item : Items(list)) {
        EXPECT_EQ(std::strlen(item.title.c_str()), item.title.size());
        EXPECT_EQ(std::strlen(item.text.c_str()), item.text.size());
    }
}

// Entries read from a file share one copy of its bytes: they must stay valid
// after the input and the list are gone, and changing one leaves the others.
TEST(DataFile, ReadEntriesOutliveTheInputAndTheList) {
    std::vector<TextItem> kept;
    {
        const std::string file =
            EncodeDataFile(ListOf({Locked("first"), Normal("second"), Locked("third")}), false);
        auto list = std::make_unique<TextItemList>();
        EXPECT_EQ(DecodeExact(file, *list).read, 3);
        TextItemList::POSITION second = list->FindIndex(1);
        TextItem changed = list->GetAt(second);
        changed.text = "edited";
        list->SetAt(second, changed);
        kept = Items(*list);
        list->RemoveAt(list->GetHeadPosition());
        EXPECT_EQ(Titles(*list), (Strings{"second", "third"}));
    }
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].text, "first text");
    EXPECT_EQ(kept[1].text, "edited");
    EXPECT_EQ(kept[2].title, "third");
    EXPECT_EQ(kept[2].text, "third text");
}

TEST(DataFile, DamagedFileKeepsTheCompleteEntriesBeforeTheDamage) {
    const std::string a = Record(1, 0, -1, "A", "alpha");
    const std::string b = Record(1, 0, -1, "B", "beta");

    struct Case {
        const char* what;
        std::string file;
        int declared;
        Strings kept;
    };
    const std::vector<Case> cases = {
        {"count promises more records", Le32(3) + a + b, 3, {"A", "B"}},
        {"huge count", Le32(0x7FFFFFFF) + a, 0x7FFFFFFF, {"A"}},
        {"cut inside the fixed fields", Le32(2) + a + b.substr(0, 7), 2, {"A"}},
        {"cut before the text length", Le32(2) + a + b.substr(0, 19), 2, {"A"}},
        {"text length past the end", Le32(2) + a + b.substr(0, b.size() - 1), 2, {"A"}},
        {"huge title length",
         Le32(2) + a + Le32(1) + Le32(0) + Le32(-1) + Le32(0x7FFFFFFF) + "tiny",
         2,
         {"A"}},
        {"negative title length",
         Le32(2) + a + Le32(1) + Le32(0) + Le32(-1) + Le32(-3) + "abc",
         2,
         {"A"}},
        {"huge text length",
         Le32(1) + Le32(1) + Le32(0) + Le32(-1) + Le32(2) + Bytes({'t', 0}) + Le32(0x7FFFFFFF),
         1,
         {}},
    };
    const bool probe = AllocationProbe::Available();
    for (const Case& c : cases) {
        TextItemList list = ListOf({Locked("left over")});
        AllocationProbe allocations;
        allocations.Start();
        const DecodeResult r = DecodeExact(c.file, list);
        allocations.Stop();
        EXPECT_TRUE(r.damaged) << c.what;
        EXPECT_EQ(r.declared, c.declared) << c.what;
        EXPECT_EQ(r.read, static_cast<int>(c.kept.size())) << c.what;
        EXPECT_EQ(Titles(list), c.kept) << c.what;
        if (probe) {
            EXPECT_LT(allocations.Largest(), 4096u) << c.what;
        }
    }
    // Bytes after the last promised record are not damage.
    TextItemList list;
    EXPECT_FALSE(DecodeExact(Le32(1) + a + "trailing junk", list).damaged);
    EXPECT_EQ(Titles(list), (Strings{"A"}));
}

TextItem RandomItem(std::mt19937& rng) {
    auto randomString = [&rng](std::size_t maxLength) {
        std::string s(std::uniform_int_distribution<std::size_t>(0, maxLength)(rng), '\0');
        for (char& c : s) {
            c = static_cast<char>(std::uniform_int_distribution<int>(1, 255)(rng));
        }
        return s;
    };
    TextItem item;
    item.kind = std::uniform_int_distribution<int>(0, 2)(rng);
    item.reserved1 = static_cast<int32_t>(rng());
    item.reserved2 = static_cast<int32_t>(rng());
    item.title = randomString(30);
    item.text = randomString(80);
    return item;
}

// Random bytes, truncations and bit flips of valid files: the decoder must
// not crash, not read past the end, keep its memory proportional to the
// input, and on a truncated file keep exactly the complete leading entries.
TEST(DataFileFuzz, SurvivesRandomTruncatedAndFlippedInput) {
    std::mt19937 rng(20240611);
    const bool probe = AllocationProbe::Available();
    AllocationProbe allocations;

    auto decodeAndCheck = [&](const std::string& bytes) {
        TextItemList list = ListOf({Locked("left over")});
        allocations.Start();
        const DecodeResult r = DecodeExact(bytes, list);
        allocations.Stop();
        EXPECT_EQ(list.GetCount(), r.read);
        EXPECT_LE(r.read, r.declared < 0 ? 0 : r.declared);
        EXPECT_TRUE(!r.damaged || r.read < r.declared);
        if (probe) {
            // At most one copy of the bytes, and list nodes for the records
            // they could hold (a record takes at least 20 bytes).
            const std::size_t nodes = (bytes.size() / 20 + 1) * (sizeof(TextItem) + 64);
            EXPECT_LE(allocations.Largest(), std::max(bytes.size() + 1024, nodes));
            EXPECT_LE(allocations.Total(), 64 * bytes.size() + 4096);
        }
        return list;
    };

    for (int i = 0; i < 3000; ++i) {
        std::string noise(std::uniform_int_distribution<std::size_t>(0, 300)(rng), '\0');
        for (char& c : noise) {
            c = static_cast<char>(rng());
        }
        if (noise.size() >= 4 && i % 2 == 0) {
            noise[0] = static_cast<char>(rng() % 8);  // a small count makes records get parsed
            noise[1] = noise[2] = noise[3] = 0;
        }
        decodeAndCheck(noise);
    }

    for (int i = 0; i < 300; ++i) {
        TextItemList original;
        const int n = std::uniform_int_distribution<int>(1, 6)(rng);
        for (int k = 0; k < n; ++k) {
            original.AddTail(RandomItem(rng));
        }
        const std::vector<TextItem> items = Items(original);
        const std::string file = EncodeDataFile(original, false);

        // Every cut: the entries that fit completely stay, in order.
        std::size_t recordEnd = 4;
        std::size_t complete = 0;
        std::vector<std::size_t> ends;
        for (const TextItem& item : items) {
            recordEnd += 20 + item.title.size() + 1 + item.text.size() + 1;
            ends.push_back(recordEnd);
        }
        for (std::size_t cut = 0; cut < file.size(); ++cut) {
            while (complete < ends.size() && ends[complete] <= cut) {
                ++complete;
            }
            const TextItemList read = decodeAndCheck(file.substr(0, cut));
            const std::vector<TextItem> kept = Items(read);
            ASSERT_EQ(kept.size(), cut < 4 ? 0u : complete) << "cut at " << cut;
            for (std::size_t k = 0; k < kept.size(); ++k) {
                EXPECT_EQ(kept[k], items[k]);
            }
        }

        for (int flip = 0; flip < 20; ++flip) {
            std::string damaged = file;
            const int flips = std::uniform_int_distribution<int>(1, 4)(rng);
            for (int f = 0; f < flips; ++f) {
                const std::size_t at = rng() % damaged.size();
                damaged[at] = static_cast<char>(damaged[at] ^ (1 << (rng() % 8)));
            }
            decodeAndCheck(damaged);
        }
    }
}

TEST(DataFileGuard, NothingIsSavedOverAFileThatCouldNotBeRead) {
    DataFileGuard beforeLoad;
    EXPECT_FALSE(beforeLoad.LoadRan());
    EXPECT_FALSE(beforeLoad.SaveAllowed());
    EXPECT_FALSE(beforeLoad.TakeUnreadableNotice());

    for (LoadStatus fine : {LoadStatus::Loaded, LoadStatus::Absent}) {
        DataFileGuard guard;
        guard.OnLoad(fine);
        EXPECT_TRUE(guard.LoadRan());
        EXPECT_TRUE(guard.SaveAllowed());
        EXPECT_FALSE(guard.TakeUnreadableNotice());
    }

    DataFileGuard locked;
    locked.OnLoad(LoadStatus::Unreadable);
    EXPECT_TRUE(locked.LoadRan());
    EXPECT_FALSE(locked.SaveAllowed());
    EXPECT_TRUE(locked.TakeUnreadableNotice());
    EXPECT_FALSE(locked.TakeUnreadableNotice());  // the user is told once
    locked.OnLoad(LoadStatus::Loaded);            // a later load that worked
    EXPECT_TRUE(locked.SaveAllowed());

    // A save that fails is told once, until one works again.
    DataFileGuard saving;
    saving.OnLoad(LoadStatus::Loaded);
    EXPECT_FALSE(saving.TakeSaveFailureNotice(true));
    EXPECT_TRUE(saving.TakeSaveFailureNotice(false));
    EXPECT_FALSE(saving.TakeSaveFailureNotice(false));
    EXPECT_FALSE(saving.TakeSaveFailureNotice(true));
    EXPECT_TRUE(saving.TakeSaveFailureNotice(false));
}

TEST(FileError, StringIdsFollowTheOrderOfTheCauses) {
    EXPECT_EQ(FileErrorStringId(FileErrorCause::Generic), 61857);
    EXPECT_EQ(FileErrorStringId(FileErrorCause::FileNotFound), 61858);
    EXPECT_EQ(FileErrorStringId(FileErrorCause::AccessDenied), 61861);
    EXPECT_EQ(FileErrorStringId(FileErrorCause::SharingViolation), 61867);
    EXPECT_EQ(FileErrorStringId(FileErrorCause::DiskFull), 61869);
    EXPECT_EQ(FileErrorStringId(FileErrorCause::EndOfFile), 61870);
}

TEST(FileError, Win32ErrorsPickTheMessage) {
    using C = FileErrorCause;
    const std::vector<std::pair<unsigned long, C>> cases = {
        {0, C::Generic},           {2, C::FileNotFound},       {3, C::BadPath},
        {4, C::TooManyOpenFiles},  {5, C::AccessDenied},       {6, C::FileNotFound},
        {11, C::InvalidFile},      {16, C::RemoveCurrentDir},  {19, C::AccessDenied},
        {21, C::HardIO},           {25, C::BadSeek},           {32, C::SharingViolation},
        {33, C::LockViolation},    {38, C::EndOfFile},         {39, C::DiskFull},
        {62, C::DirectoryFull},    {80, C::AccessDenied},      {112, C::DiskFull},
        {123, C::BadPath},         {145, C::RemoveCurrentDir}, {167, C::LockViolation},
        {183, C::AccessDenied},    {995, C::HardIO},           {1224, C::Generic},
        {0xFFFFFFFFul, C::Generic}};
    for (const auto& [error, cause] : cases) {
        EXPECT_EQ(FileErrorCauseFromWin32(error), cause) << "error " << error;
    }
}

TEST(FileError, FileNameReplacesEveryPlaceholder) {
    EXPECT_EQ(FormatFileError("%1 へのｱｸｾｽは拒否されました。", "Pikora.dat"),
              "Pikora.dat へのｱｸｾｽは拒否されました。");
    EXPECT_EQ(FormatFileError("%1 and %1", "C:\\表\\a.dat"), "C:\\表\\a.dat and C:\\表\\a.dat");
    EXPECT_EQ(FormatFileError("no placeholder", "x"), "no placeholder");
    EXPECT_EQ(FormatFileError("%1!", "%1"), "%1!");  // the name is not expanded again
}

}  // namespace
}  // namespace pikora
