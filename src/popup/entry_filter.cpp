#include "popup/entry_filter.h"

#include <algorithm>

#include "text/search_fold.h"

namespace pikora {

void EntryFilter::Clear() {
    std::string().swap(m_folded);
    std::vector<std::size_t>().swap(m_starts);
    std::vector<int>().swap(m_matches);
    m_lastQuery.clear();
    m_built = false;
}

void EntryFilter::Build(const TextItemList& items) {
    m_folded.clear();
    m_starts.clear();
    m_starts.reserve(static_cast<std::size_t>(items.GetCount()) + 1);
    for (TextItemList::POSITION pos = items.GetHeadPosition(); pos != nullptr;) {
        const TextItem& item = items.GetNext(pos);
        m_starts.push_back(m_folded.size());
        AppendSearchFolded(item.title, m_folded);
        m_folded.push_back('\0');
        AppendSearchFolded(item.text, m_folded);
        m_folded.push_back('\0');
    }
    m_starts.push_back(m_folded.size());
    m_byteCounts.assign(256, 0);
    for (std::size_t i = 0; i < m_folded.size(); i += 7) {
        ++m_byteCounts[static_cast<unsigned char>(m_folded[i])];
    }
    m_revision = items.Revision();
    m_built = true;
    m_lastQuery.clear();
    m_matches.clear();
}

bool EntryFilter::EntryHolds(int index, std::string_view folded, std::size_t anchor) const {
    const auto i = static_cast<std::size_t>(index);
    const std::string_view entry(m_folded.data() + m_starts[i], m_starts[i + 1] - m_starts[i]);
    return FindFolded(entry, folded, 0, anchor) != std::string_view::npos;
}

std::size_t EntryFilter::RarestByte(std::string_view folded) const {
    std::size_t rarest = folded.size() - 1;
    for (std::size_t i = folded.size(); i-- > 0;) {
        if (m_byteCounts[static_cast<unsigned char>(folded[i])] <
            m_byteCounts[static_cast<unsigned char>(folded[rarest])]) {
            rarest = i;
        }
    }
    return rarest;
}

const std::vector<int>& EntryFilter::Narrow(const TextItemList& items, std::string_view query) {
    if (!m_built || m_revision != items.Revision() ||
        m_starts.size() != static_cast<std::size_t>(items.GetCount()) + 1) {
        Build(items);
    }
    std::string folded = SearchFolded(query);
    folded.erase(std::remove(folded.begin(), folded.end(), '\0'), folded.end());
    const int count = static_cast<int>(m_starts.size()) - 1;
    if (folded.empty()) {
        m_matches.resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            m_matches[static_cast<std::size_t>(i)] = i;
        }
    } else if (!m_lastQuery.empty() && FindFolded(folded, m_lastQuery) != std::string_view::npos) {
        // Whatever holds the longer query holds the previous one too.
        const std::size_t anchor = RarestByte(folded);
        m_matches.erase(std::remove_if(m_matches.begin(), m_matches.end(),
                                       [&](int i) { return !EntryHolds(i, folded, anchor); }),
                        m_matches.end());
    } else {
        const std::size_t anchor = RarestByte(folded);
        m_matches.clear();
        std::size_t from = 0;
        while (true) {
            const std::size_t hit = FindFolded(m_folded, folded, from, anchor);
            if (hit == std::string_view::npos) {
                break;
            }
            // The entry the match lies in; the search goes on after it.
            const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), hit);
            m_matches.push_back(static_cast<int>(next - m_starts.begin()) - 1);
            from = *next;
        }
    }
    m_lastQuery = folded;
    return m_matches;
}

}  // namespace pikora
