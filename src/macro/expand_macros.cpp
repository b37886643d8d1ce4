#include "macro/expand_macros.h"

#include <vector>

#include "macro/block_copies.h"
#include "macro/char_boundary.h"
#include "macro/macro_block.h"
#include "macro/rewriter.h"

namespace pikora {

// Each round takes the first block, searching from the start of the text,
// expands it, and puts the expansion in place of the block and of every
// copy of it further on, so that copies share one expansion and their
// launches run once. Then the search starts again, as an expansion can join
// with the text around it into a new tag.
//
// The rounds end: each replaces at least one block, and an expansion holds
// fewer '<' than its block (its tags are gone, and keyword values and the
// removal of launch macros bring none), so every round lowers their count.
std::string ExpandMacros(std::string_view input, const LocalTime& now, Launcher& launcher) {
    if (FindBytes(input, kOpenTag, 0) == std::string_view::npos) {
        return std::string(input);
    }
    const KeywordValues values = KeywordValuesAt(now);
    Rewriter text(std::string(input), kOpenTag.size() - 1);
    BlockCopies copies;
    for (std::size_t open = text.Find(kOpenTag); open != std::string::npos;
         open = text.Find(kOpenTag)) {
        const std::string& buffer = text.Buffer();
        const std::size_t close = text.Find(kCloseTag, open + kOpenTag.size());
        const std::size_t end =
            close == std::string::npos ? buffer.size() : close + kCloseTag.size();
        const std::string_view block(buffer.data() + open, end - open);
        const std::string expansion = ExpandBlock(block, values, launcher);
        // A block without closing tag runs to the end: nothing follows it.
        const std::vector<std::size_t> copiesOfBlock = close == std::string::npos
                                                           ? std::vector<std::size_t>()
                                                           : copies.Find(buffer, block, end);
        const std::size_t oldSize = buffer.size();
        const std::size_t blockSize = block.size();
        const std::size_t start = text.Replace(open, end, expansion, copiesOfBlock);
        copies.Replaced(oldSize, end, copiesOfBlock, blockSize, text.Buffer(), start,
                        expansion.size());
    }
    return std::move(text).Finish();
}

}  // namespace pikora
