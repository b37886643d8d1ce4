// Any bytes as Pikora.dat. The decoder must stay inside them and say
// truthfully how far it got, and what it read must come back unchanged from a
// save and a load, with and without the normal entries.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "store/data_file.h"
#include "store/text_list.h"

namespace {

using pikora::TextItemList;

bool SameItems(const TextItemList& a, const TextItemList& b) {
    if (a.GetCount() != b.GetCount()) {
        return false;
    }
    auto pa = a.GetHeadPosition();
    auto pb = b.GetHeadPosition();
    while (pa != nullptr && pb != nullptr) {
        if (a.GetNext(pa) != b.GetNext(pb)) {
            return false;
        }
    }
    return pa == nullptr && pb == nullptr;
}

TextItemList LockedOnly(const TextItemList& list) {
    TextItemList out;
    for (auto pos = list.GetHeadPosition(); pos != nullptr;) {
        const pikora::TextItem& item = list.GetNext(pos);
        if (!pikora::IsNormal(item)) {
            out.AddTail(item);
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view file = fuzz::Bytes(data, size);
    TextItemList first;
    const pikora::DecodeResult read = pikora::DecodeDataFile(file, first);
    FUZZ_REQUIRE(read.read == first.GetCount());
    FUZZ_REQUIRE(read.read >= 0);
    if (read.declared <= 0) {
        FUZZ_REQUIRE(read.read == 0 && !read.damaged);
    } else {
        FUZZ_REQUIRE(read.damaged ? read.read < read.declared : read.read == read.declared);
    }
    // Each record takes at least 20 bytes besides the count.
    FUZZ_REQUIRE(static_cast<std::size_t>(read.read) * 20 <= (size < 4 ? 0 : size - 4));

    const std::string saved = pikora::EncodeDataFile(first, false);
    TextItemList second;
    // Loading into a list that already holds entries replaces them.
    second.AddTail(pikora::TextItem{});
    const pikora::DecodeResult reread = pikora::DecodeDataFile(saved, second);
    FUZZ_REQUIRE(!reread.damaged);
    FUZZ_REQUIRE(reread.read == first.GetCount());
    FUZZ_REQUIRE(SameItems(first, second));
    FUZZ_REQUIRE(pikora::EncodeDataFile(second, false) == saved);

    TextItemList locked;
    const pikora::DecodeResult lockedRead =
        pikora::DecodeDataFile(pikora::EncodeDataFile(first, true), locked);
    FUZZ_REQUIRE(!lockedRead.damaged);
    FUZZ_REQUIRE(SameItems(locked, LockedOnly(first)));
    return 0;
}
