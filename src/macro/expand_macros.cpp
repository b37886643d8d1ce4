#include "macro/expand_macros.h"

#include <vector>

#include "macro/block_copies.h"
#include "macro/char_boundary.h"
#include "macro/macro_block.h"
#include "macro/rewriter.h"

namespace pikora {
namespace {

constexpr std::size_t npos = std::string::npos;

// The usual text: its every '<' begins a tag of a closed block that holds no
// other '<'. Then no block holds another tag or a launch macro, and no
// expansion (which holds no '<' either) can join with the text around it
// into a tag, so each block, a copy or not, expands on its own and alike:
// one walk from left to right gives what the rounds below give, without
// looking for copies. Returns false for any other text.
bool ExpandPlainBlocks(std::string_view input, const KeywordValues& values, Launcher& launcher,
                       std::string& out) {
    std::size_t copied = 0;
    for (std::size_t open = FindOnBoundary(input, kOpenTag, 0); open != npos;
         open = FindOnBoundary(input, kOpenTag, copied)) {
        const std::size_t close = FindOnBoundary(input, kCloseTag, open + kOpenTag.size());
        if (close == npos || input.substr(copied, open - copied).find('<') != npos ||
            input.substr(open + 1, close - open - 1).find('<') != npos) {
            return false;
        }
        out.append(input, copied, open - copied);
        out += ExpandBlock(input.substr(open, close + kCloseTag.size() - open), values, launcher);
        copied = close + kCloseTag.size();
    }
    out.append(input, copied);
    return input.find('<', copied) == npos;
}

}  // namespace

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
    if (FindBytes(input, kOpenTag, 0) == npos) {
        return std::string(input);
    }
    const KeywordValues values = KeywordValuesAt(now);
    std::string plain;
    if (ExpandPlainBlocks(input, values, launcher, plain)) {
        return plain;
    }
    Rewriter text(std::string(input), kOpenTag.size() - 1);
    BlockCopies copies(text.Buffer());
    for (std::size_t open = text.Find(kOpenTag); open != npos; open = text.Find(kOpenTag)) {
        const std::string& buffer = text.Buffer();
        const std::size_t close = text.Find(kCloseTag, open + kOpenTag.size());
        const std::size_t end = close == npos ? buffer.size() : close + kCloseTag.size();
        const std::string_view block(buffer.data() + open, end - open);
        const std::string expansion = ExpandBlock(block, values, launcher);
        // A block without closing tag runs to the end: nothing follows it.
        const std::vector<std::size_t> copiesOfBlock =
            close == npos ? std::vector<std::size_t>() : copies.Find(buffer, block, end);
        const std::size_t oldSize = buffer.size();
        const std::size_t blockSize = block.size();
        const std::size_t start = text.Replace(open, end, expansion, copiesOfBlock);
        copies.Replaced(oldSize, end, copiesOfBlock, blockSize, text.Buffer(), start,
                        expansion.size());
    }
    return std::move(text).Finish();
}

}  // namespace pikora
