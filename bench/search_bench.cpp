// The popup's search over a list of realistic Japanese entries (titles of
// about 20 bytes, texts of about 200): folding every entry once, narrowing the
// whole list by a two-character query, and refining that result by one more
// character.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "popup/entry_filter.h"
#include "store/text_list.h"
#include "text/search_fold.h"

namespace {

// Words of a Japanese writer's clipboard: kanji, both kana, both widths.
const std::vector<std::string> kWords = {"お世話になっております",
                                         "株式会社",
                                         "ＡＢＣ商事",
                                         "見積書",
                                         "請求書",
                                         "添付",
                                         "ご確認ください",
                                         "カタカナ",
                                         "ｶﾀｶﾅ",
                                         "よろしくお願いいたします",
                                         "打ち合わせ",
                                         "2026年12月8日",
                                         "東京都千代田区",
                                         "メール",
                                         "資料",
                                         "会議室",
                                         "Re:",
                                         "の件",
                                         "送付いたします",
                                         "担当",
                                         "営業部",
                                         "。",
                                         "、",
                                         "ファイル",
                                         "プロジェクト"};

pikora::TextItemList MakeJapaneseList(int n) {
    std::mt19937 random(21);
    std::uniform_int_distribution<size_t> pick(0, kWords.size() - 1);
    const auto words = [&](size_t bytes) {
        std::string s;
        while (s.size() < bytes) {
            s += kWords[pick(random)];
        }
        return s;
    };
    pikora::TextItemList list;
    for (int i = 0; i < n; ++i) {
        pikora::TextItem item;
        item.title = words(20);
        item.text = words(200);
        list.AddTail(item);
    }
    return list;
}

void BM_FoldEveryEntry(benchmark::State& state) {
    const pikora::TextItemList list = MakeJapaneseList(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        pikora::EntryFilter filter;
        benchmark::DoNotOptimize(filter.Narrow(list, "").size());
    }
}

// Two queries of two characters, in turn, so that each is a search of the
// whole list. "書添" is in no entry: every byte is looked at.
void BM_NarrowByTwoCharacters(benchmark::State& state) {
    const pikora::TextItemList list = MakeJapaneseList(static_cast<int>(state.range(0)));
    pikora::EntryFilter filter;
    filter.Narrow(list, "");
    size_t matches = 0;
    bool odd = false;
    for (auto _ : state) {
        matches = filter.Narrow(list, (odd = !odd) ? "請求" : "書添").size();
        benchmark::DoNotOptimize(matches);
    }
    state.counters["matches_last"] = static_cast<double>(matches);
}

// "請求" narrowed already; one more character searches only its matches.
void BM_RefineByOneCharacter(benchmark::State& state) {
    const pikora::TextItemList list = MakeJapaneseList(static_cast<int>(state.range(0)));
    pikora::EntryFilter filter;
    for (auto _ : state) {
        state.PauseTiming();
        filter.Narrow(list, "請求");
        state.ResumeTiming();
        benchmark::DoNotOptimize(filter.Narrow(list, "請求書").size());
    }
}

BENCHMARK(BM_FoldEveryEntry)->Unit(benchmark::kMillisecond)->Arg(1000)->Arg(100000);
BENCHMARK(BM_NarrowByTwoCharacters)->Unit(benchmark::kMillisecond)->Arg(1000)->Arg(100000);
BENCHMARK(BM_RefineByOneCharacter)->Unit(benchmark::kMillisecond)->Arg(1000)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
