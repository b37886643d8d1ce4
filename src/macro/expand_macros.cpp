#include "macro/expand_macros.h"

#include <algorithm>
#include <optional>

#include "macro/char_boundary.h"
#include "macro/expanded_blocks.h"
#include "macro/macro_block.h"
#include "macro/round_text.h"

namespace pikora {
namespace {

constexpr std::size_t npos = std::string::npos;

// Each round takes the first block, searching from the start of the text,
// expands it, and puts the expansion in place of the block and of every copy
// of it. Then the search starts again, as an expansion can join with the text
// around it into a new tag.
//
// Copies are not looked for ahead: the text after the search's start that no
// round rewrote yet is the input as it came, and a copy is recognized when
// the search reaches it. Then its expansion goes in without a launch, as the
// round that expanded its block launched already.
class Expander {
  public:
    Expander(std::string_view input, KeywordValues values, Launcher& launcher)
        : values_(std::move(values)), launcher_(launcher), text_(input) {}

    std::string Run() && {
        for (std::size_t open = text_.Find(kOpenTag, 0); open != npos;) {
            open = ExpandFirstBlock(open);
            if (open == npos) {
                open = text_.Find(kOpenTag, text_.RestStart());
            }
        }
        return std::move(text_).Finish();
    }

  private:
    // The opening tags inside the block begin blocks that end where it ends.
    // Each can be a copy that a round before put its expansion in place of;
    // the earliest of those rounds comes first, as it changed the others.
    // Returns the first opening tag when it is known to stay first.
    std::size_t ExpandFirstBlock(std::size_t open) {
        // A copy put in inside the block left the closing tags before it
        // as they were: none.
        const std::size_t close =
            text_.Find(kCloseTag, std::max(open + kOpenTag.size(), text_.RestStart()));
        const std::size_t end = close == npos ? text_.Size() : close + kCloseTag.size();
        std::optional<ExpandedBlocks::Copy> earliest;
        Round round = 0;
        for (const ExpandedBlocks::Copy& copy : expanded_.EndingAt(text_, open, end)) {
            const auto first = std::upper_bound(copy.rounds->begin(), copy.rounds->end(),
                                                text_.Newest(copy.pos, end));
            if (first != copy.rounds->end() && (!earliest || *first < round)) {
                earliest = copy;
                round = *first;
            }
        }
        std::string scratch;
        if (earliest) {
            const std::string expansion =
                expanded_.ExpansionOf(*earliest, text_.Bytes(earliest->pos, end, scratch), values_);
            text_.Replace(earliest->pos, end, expansion, round);
            // A tag joined by the copy's expansion begins after this one.
            return earliest->pos > open ? open : npos;
        }
        const std::string_view block = text_.Bytes(open, end, scratch);
        const std::string expansion = ExpandBlock(block, values_, launcher_);
        expanded_.Add(block, expansion, ++rounds_);
        text_.Replace(open, end, expansion, rounds_);
        return npos;
    }

    const KeywordValues values_;
    Launcher& launcher_;
    RoundText text_;
    Round rounds_ = 0;
    ExpandedBlocks expanded_;
};

}  // namespace

std::string ExpandMacros(std::string_view input, const LocalTime& now, Launcher& launcher) {
    if (FindBytes(input, kOpenTag, 0) == npos) {
        return std::string(input);
    }
    return Expander(input, KeywordValuesAt(now), launcher).Run();
}

}  // namespace pikora
