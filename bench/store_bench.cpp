// Codec and list costs at realistic and far-beyond-realistic list sizes. A
// plain memcpy of the same byte count is the yardstick for the codec.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "store/data_file.h"
#include "store/history_capture.h"
#include "store/list_ops.h"
#include "store/text_list.h"

namespace {

using pikora::TextItem;
using pikora::TextItemList;

TextItem Entry(int i, int32_t kind) {
    TextItem item;
    item.kind = kind;
    item.title = std::string(60, static_cast<char>('a' + i % 26));
    item.text = std::string(200, static_cast<char>('A' + i % 26));
    return item;
}

TextItemList MakeList(int n) {
    TextItemList list;
    for (int i = 0; i < n; ++i) {
        list.AddTail(Entry(i, i % 2 == 0 ? pikora::KIND_NORMAL : pikora::KIND_LOCKED));
    }
    return list;
}

void BM_Memcpy(benchmark::State& state) {
    const std::string source =
        pikora::EncodeDataFile(MakeList(static_cast<int>(state.range(0))), false);
    std::vector<char> target(source.size());
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * source.size());
}

// Same, into a block fresh from the allocator each time, as an encoder's
// result has to be.
void BM_MemcpyFresh(benchmark::State& state) {
    const std::string source =
        pikora::EncodeDataFile(MakeList(static_cast<int>(state.range(0))), false);
    for (auto _ : state) {
        std::unique_ptr<char, decltype(&std::free)> target(
            static_cast<char*>(std::malloc(source.size())), &std::free);
        std::memcpy(target.get(), source.data(), source.size());
        benchmark::DoNotOptimize(target.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * source.size());
}

void BM_Encode(benchmark::State& state) {
    const TextItemList list = MakeList(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string file = pikora::EncodeDataFile(list, false);
        bytes = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
}

// The start-up path: the file decoded into an empty list. Tearing the list
// down afterwards is not part of a load, so the clock is read around the
// decode alone (pausing the benchmark's own timer costs about a microsecond,
// as much as a whole small decode).
void BM_Decode(benchmark::State& state) {
    const std::string file =
        pikora::EncodeDataFile(MakeList(static_cast<int>(state.range(0))), false);
    TextItemList list;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        pikora::DecodeResult r = pikora::DecodeDataFile(file, list);
        benchmark::DoNotOptimize(r);
        benchmark::ClobberMemory();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        list.RemoveAll();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * file.size());
}

// Locked entries at the bottom: every call walks past all of them.
void BM_TakeOldestNormalText(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TextItemList list;
    for (int i = 0; i < n; ++i) {
        list.AddTail(Entry(i, i < n / 2 ? pikora::KIND_NORMAL : pikora::KIND_LOCKED));
    }
    for (auto _ : state) {
        std::string text = pikora::TakeOldestNormalText(list);
        benchmark::DoNotOptimize(text.data());
        list.AddHead(Entry(0, pikora::KIND_NORMAL));
    }
}

void BM_MoveItem(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TextItemList list = MakeList(n);
    for (auto _ : state) {
        pikora::MoveItem(list, n / 2, 1);
        pikora::MoveItem(list, 1, n / 2 + 1);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2);
}

// One recorded copy as the program does it: new entry at the top, then the
// whole file encoded for the save.
void BM_CaptureAndEncode(benchmark::State& state) {
    TextItemList list = MakeList(static_cast<int>(state.range(0)));
    std::string last;
    const std::vector<std::string> texts = {std::string(200, 'p'), std::string(200, 'q')};
    const pikora::CaptureGate gate{true, false, true};
    std::size_t i = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        pikora::RecordHistoryText(list, last, gate, {}, texts[i++ % 2]);
        std::string file = pikora::EncodeDataFile(list, false);
        bytes = file.size();
        benchmark::DoNotOptimize(file.data());
        list.RemoveAt(list.GetTailPosition());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
}

BENCHMARK(BM_Memcpy)->Arg(100)->Arg(10000)->Arg(100000);
BENCHMARK(BM_MemcpyFresh)->Arg(100)->Arg(10000)->Arg(100000);
BENCHMARK(BM_Encode)->Arg(100)->Arg(10000)->Arg(100000);
BENCHMARK(BM_Decode)->UseManualTime()->Arg(100)->Arg(10000)->Arg(100000);
BENCHMARK(BM_TakeOldestNormalText)->Arg(10000);
BENCHMARK(BM_MoveItem)->Arg(10000);
BENCHMARK(BM_CaptureAndEncode)->Arg(10000);

}  // namespace

int main(int argc, char** argv) {
    // Keep freed memory in the process between iterations (glibc otherwise
    // hands the top of the heap back and the next iteration pays the kernel
    // for zeroed pages), so the figures show the codec, like the memcpy
    // they are compared with, which writes to memory it already has.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
