// The narrowed list of the popup's search: which entries hold what the user
// typed, in their name or their text, as the search folds characters.
//
// Every title and text is folded once into one block of memory, so that a
// keystroke in a list of 100,000 entries is one pass over that block; a query
// that only adds to the previous one looks only at the previous matches.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "store/text_list.h"

namespace pikora {

class EntryFilter {
  public:
    // The indexes (in the full list, ascending) of the entries whose title or
    // text holds query. An empty query matches every entry. Folds the list
    // again first when it changed since the last call.
    const std::vector<int>& Narrow(const TextItemList& items, std::string_view query);

    // Lets go of the folded texts (the popup closed).
    void Clear();

  private:
    void Build(const TextItemList& items);
    bool EntryHolds(int index, std::string_view folded, std::size_t anchor) const;
    // The position of the byte of folded that is rarest in the list.
    std::size_t RarestByte(std::string_view folded) const;

    // Per entry: folded title, a zero byte, folded text, a zero byte. No typed
    // text holds a zero byte, so no match runs from one part into the next.
    std::string m_folded;
    std::vector<std::size_t> m_starts;  // one per entry, and the end
    // How often each byte value occurs, counted on a sample of m_folded.
    std::vector<unsigned> m_byteCounts;
    unsigned long long m_revision = 0;
    bool m_built = false;
    std::string m_lastQuery;  // folded
    std::vector<int> m_matches;
};

}  // namespace pikora
