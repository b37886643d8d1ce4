// Throughput of ExpandMacros beside a plain std::string::find scan for the
// opening tag over the same bytes: for a usual entry, for a long text without
// blocks, and for a history copy of a megabyte holding ten thousand blocks.
// Then the worst shapes known, each about a megabyte: launch blocks that all
// come again further on, chains of tags that each removal joins anew (some
// ending inside the expansion before, some holding copies), and blocks that
// end just after a long run of lead bytes. The result is a new string, so
// its allocation and the copy of the text are counted.
#include <benchmark/benchmark.h>

#include <string>

#include "macro/expand_macros.h"
#include "text/cp932.h"

namespace {

class NullLauncher : public pikora::Launcher {
  public:
    void OpenDocument(const std::string&) override {}
    void StartProgram(const std::string&) override {}
};

pikora::LocalTime ExampleInstant() {
    pikora::LocalTime t;
    t.year = 2001;
    t.month0 = 2;
    t.mday = 6;
    t.wday = 2;
    t.hour = 14;
    t.minute = 5;
    t.second = 9;
    return t;
}

// Log-like lines in Japanese and ASCII, with '<' and '$' but no opening tag.
std::string Filler(std::size_t bytes) {
    const std::string line = "2001-03-06 14:05:09 処理を開始しました <item id=42> cost $15 ok\r\n";
    std::string text;
    while (text.size() < bytes) {
        text += line;
    }
    text.resize(pikora::SafeCutLength(text, bytes));
    return text;
}

std::string TextWithThreeBlocks() {
    const std::string blocks[] = {
        "<pikoraMACRO>$Y/$M/$D</pikoraMACRO>",
        "<pikoraMACRO>$AMPM $h:$m:$s</pikoraMACRO>",
        "<pikoraMACRO>$d曜日 ($ddd)</pikoraMACRO>",
    };
    std::string text;
    for (const std::string& block : blocks) {
        text += Filler(300) + block;
    }
    return text + Filler(1024 - text.size());
}

// Ten thousand blocks in a megabyte of log lines: dates, each block different
// from the others, and a program block every tenth line that is the same
// each time, so that its copies are replaced with it.
std::string MegabyteWithTenThousandBlocks() {
    std::string text;
    for (int i = 0; i < 10000; ++i) {
        text += Filler(56) + "<pikoraMACRO>$Y/$M/$D #" + std::to_string(i) + "</pikoraMACRO>";
        if (i % 10 == 0) {
            text += "<pikoraMACRO>$SHELL<notepad.exe>$SHELL</pikoraMACRO>";
        }
    }
    return text;
}

// The same program blocks twice over, in the same order: every round has a
// copy half a megabyte further on.
std::string LaunchBlocksTwice(int count, std::size_t fillerBytes) {
    std::string half;
    for (int i = 0; i < count; ++i) {
        half += Filler(fillerBytes) + "<pikoraMACRO>$SHELL<p" + std::to_string(i) +
                ">$SHELL</pikoraMACRO>";
    }
    return half + half;
}

// count times the start of an opening tag, a block that expands to nothing,
// count times the rest of an opening tag: each removal joins the next tag.
std::string JoinedTags(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "<pikora";
    }
    text += "<pikoraMACRO></pikoraMACRO>";
    for (int i = 0; i < count; ++i) {
        text += "MACRO>";
    }
    return text;
}

// count times opening, a block that expands to nothing, count times the rest
// of an opening tag, half a megabyte, then closing: each removal joins a new
// opening tag whose block spans the half megabyte again. With piece after
// each closing tag but the last, every block is a little longer.
std::string PeelingChain(int count, const std::string& piece, bool closed,
                         const std::string& lead = "") {
    std::string text = JoinedTags(count);
    text += lead + Filler(500 * 1024);
    for (int i = 0; i < count && closed; ++i) {
        text += piece + "</pikoraMACRO>";
    }
    return text;
}

// A chain of count tags before a long run that no expansion can leave as it
// is, so that each block holds it again: with the closing tags after it, or
// none.
std::string PeelingChainBeforeALongRun(int count, int pieces, bool closed) {
    std::string text = JoinedTags(count);
    text += Filler(1000);
    for (int i = 0; i < pieces; ++i) {
        text += "$<";
    }
    for (int i = 0; i < count && closed; ++i) {
        text += "</pikoraMACRO>";
    }
    return text;
}

// A chain of count tags before a short run, each closing tag after a piece
// that its block gives back and that the text after it could still change:
// the rest of each block grows by a piece. Expanding each block's rest again
// takes the square of the chain's length, seconds for a megabyte; only the
// stretch that what follows can reach into may be expanded again.
std::string PeelingChainGrowingRest(int count, const std::string& piece) {
    std::string text = JoinedTags(count);
    text += Filler(1000);
    for (int i = 0; i < count; ++i) {
        text += piece + "</pikoraMACRO>";
    }
    return text;
}

// count opening tags that no closing tag follows until the first of many
// copies of a block expanded before them: every copy put in makes the blocks
// of all the tags change.
std::string OpenTagsBeforeCopies(int count, int copies) {
    const std::string block = "<pikoraMACRO>$SHELL<p>$SHELL</pikoraMACRO>";
    std::string text = block;
    for (int i = 0; i < count; ++i) {
        text += "<pikoraMACRO>";
    }
    for (int i = 0; i < copies; ++i) {
        text += block;
    }
    return text;
}

// count different blocks that all end with the same 64 bytes: each is
// looked for among all the blocks before it that end like it.
std::string BlocksWithOneEnd(int count) {
    const std::string end(64, 'e');
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "<pikoraMACRO>" + std::to_string(i) + end + "</pikoraMACRO>";
    }
    return text;
}

// A chain of count tags before a run of text, each closing tag followed by
// tail: with a closing tag that a launch removal joins, each block ends
// inside the expansion of the one before; with a copy of a block expanded
// first, each block holds one.
std::string PeelingChainWithTails(int count, const std::string& head, const std::string& tail) {
    std::string text = head + JoinedTags(count) + Filler(300 * 1024);
    for (int i = 0; i < count; ++i) {
        text += "</pikoraMACRO>" + tail;
    }
    return text;
}

// A long run of lead bytes, then count blocks that each expand to nothing:
// each round ends right after the run, where a tag joined across the end
// could begin inside it.
std::string LeadRunBeforeEmptyBlocks(int count) {
    std::string text(500 * 1024, '\x81');
    for (int i = 0; i < count; ++i) {
        text += "<pikoraMACRO>$SHELL<" + std::to_string(i) + ">$SHELL</pikoraMACRO>";
    }
    return text;
}

// A chain of count tags before a long run of lead bytes: each block holds
// the run again, and ends just after it.
std::string PeelingChainOverALeadRun(int count) {
    std::string text = JoinedTags(count) + std::string(400 * 1024, '\x81') + "x";
    for (int i = 0; i < count; ++i) {
        text += "</pikoraMACRO>";
    }
    return text;
}

std::size_t FindScan(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t pos = text.find("<pikoraMACRO>"); pos != std::string::npos;
         pos = text.find("<pikoraMACRO>", pos + 1)) {
        ++count;
    }
    return count;
}

void RunExpand(benchmark::State& state, const std::string& text) {
    NullLauncher launcher;
    const pikora::LocalTime now = ExampleInstant();
    for (auto _ : state) {
        std::string out = pikora::ExpandMacros(text, now, launcher);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void RunFindScan(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindScan(text));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_ExpandMacros_1KB_ThreeBlocks(benchmark::State& state) {
    RunExpand(state, TextWithThreeBlocks());
}
void BM_FindScan_1KB_ThreeBlocks(benchmark::State& state) {
    RunFindScan(state, TextWithThreeBlocks());
}
void BM_ExpandMacros_100KB_NoBlock(benchmark::State& state) {
    RunExpand(state, Filler(100 * 1024));
}
void BM_FindScan_100KB_NoBlock(benchmark::State& state) {
    RunFindScan(state, Filler(100 * 1024));
}

void BM_ExpandMacros_1MB_10000Blocks(benchmark::State& state) {
    RunExpand(state, MegabyteWithTenThousandBlocks());
}
void BM_FindScan_1MB_10000Blocks(benchmark::State& state) {
    RunFindScan(state, MegabyteWithTenThousandBlocks());
}

void BM_ExpandMacros_1MB_5000LaunchBlocksTwice(benchmark::State& state) {
    RunExpand(state, LaunchBlocksTwice(5000, 56));
}
void BM_ExpandMacros_1MB_12000LaunchBlocksTwiceBackToBack(benchmark::State& state) {
    RunExpand(state, LaunchBlocksTwice(12000, 0));
}
void BM_ExpandMacros_PeelingChain_18000(benchmark::State& state) {
    RunExpand(state, PeelingChain(18000, "", true));
}
void BM_ExpandMacros_PeelingChain_14000_WithKeywords(benchmark::State& state) {
    RunExpand(state, PeelingChain(14000, "$Y", true));
}
void BM_ExpandMacros_PeelingChain_18000_Unclosed(benchmark::State& state) {
    RunExpand(state, PeelingChain(18000, "", false));
}

void BM_ExpandMacros_PeelingChain_14000_InnerTags(benchmark::State& state) {
    RunExpand(state, PeelingChain(14000, "<pikoraMACRO>x", true));
}
void BM_ExpandMacros_PeelingChain_14000_LeadingTagLikeText(benchmark::State& state) {
    RunExpand(state, PeelingChain(14000, "", true, "<pa"));
}
void BM_ExpandMacros_PeelingChain_14000_Dollars(benchmark::State& state) {
    RunExpand(state, PeelingChain(14000, "$", true));
}
void BM_ExpandMacros_PeelingChain_14000_DollarLess(benchmark::State& state) {
    RunExpand(state, PeelingChain(14000, "$<", true));
}
void BM_ExpandMacros_PeelingChain_2000_BeforeALongRun(benchmark::State& state) {
    RunExpand(state, PeelingChainBeforeALongRun(2000, 200000, false));
}
void BM_ExpandMacros_PeelingChain_2000_BeforeALongRunClosed(benchmark::State& state) {
    RunExpand(state, PeelingChainBeforeALongRun(2000, 200000, true));
}
void BM_ExpandMacros_PeelingChain_19000_GrowingRest(benchmark::State& state) {
    std::string piece;
    for (int i = 0; i < 13; ++i) {
        piece += "$<";
    }
    RunExpand(state, PeelingChainGrowingRest(19000, piece));
}
void BM_ExpandMacros_PeelingChain_14000_EndingInsideTheExpansion(benchmark::State& state) {
    RunExpand(state, PeelingChainWithTails(14000, "", "</pik$SHELL<>$SHELLoraMACRO>"));
}
void BM_ExpandMacros_PeelingChain_14000_HoldingCopies(benchmark::State& state) {
    const std::string copy = "<pikoraMACRO>z</pikoraMACRO>";
    RunExpand(state, PeelingChainWithTails(14000, copy, copy));
}
void BM_ExpandMacros_LeadRunBefore14000EmptyBlocks(benchmark::State& state) {
    RunExpand(state, LeadRunBeforeEmptyBlocks(14000));
}
void BM_ExpandMacros_PeelingChain_15000_OverALeadRun(benchmark::State& state) {
    RunExpand(state, PeelingChainOverALeadRun(15000));
}
void BM_ExpandMacros_10000BlocksWithOneEnd(benchmark::State& state) {
    RunExpand(state, BlocksWithOneEnd(10000));
}
void BM_ExpandMacros_10000OpenTagsBefore20000Copies(benchmark::State& state) {
    RunExpand(state, OpenTagsBeforeCopies(10000, 20000));
}

BENCHMARK(BM_ExpandMacros_1KB_ThreeBlocks);
BENCHMARK(BM_FindScan_1KB_ThreeBlocks);
BENCHMARK(BM_ExpandMacros_100KB_NoBlock);
BENCHMARK(BM_FindScan_100KB_NoBlock);
BENCHMARK(BM_ExpandMacros_1MB_10000Blocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindScan_1MB_10000Blocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_1MB_5000LaunchBlocksTwice)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_1MB_12000LaunchBlocksTwiceBackToBack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_PeelingChain_18000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_PeelingChain_14000_WithKeywords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_PeelingChain_18000_Unclosed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_PeelingChain_14000_InnerTags)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_PeelingChain_14000_LeadingTagLikeText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_PeelingChain_14000_Dollars)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_PeelingChain_14000_DollarLess)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_10000OpenTagsBefore20000Copies)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_10000BlocksWithOneEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_PeelingChain_2000_BeforeALongRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_PeelingChain_2000_BeforeALongRunClosed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_PeelingChain_19000_GrowingRest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_PeelingChain_14000_EndingInsideTheExpansion)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_PeelingChain_14000_HoldingCopies)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_LeadRunBefore14000EmptyBlocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandMacros_PeelingChain_15000_OverALeadRun)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
