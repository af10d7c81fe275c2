// Searching, extraction, conversion and body growth over large pages,
// side by side with std::string_view::find over the same bytes.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "text/between.h"
#include "text/codepage.h"
#include "text/more.h"
#include "text/text.h"

namespace {

const std::string kStart = "<span class=\"hide\">";
const std::string kEnd = "</span>";

// A page of `bytes` bytes whose only duration marker sits at its very end,
// so every search walks the whole page.
std::string Page(size_t bytes, bool chinese) {
    const std::string ascii =
        "<div class=\"item\"><a href=\"/sound/12345\" title=\"a sound\">A sound name</a><i>3:25</i></div>\n";
    // Three-byte characters in runs of two, four and one, so that the scan's
    // pairing drifts across the tags between them.
    const std::string dense =
        "<p>\xE4\xB8\xAD\xE6\x96\x87</p>\xE5\xA3\xB0\xE9\x9F\xB3\xE5\x90\x8D\xE7\xA7\xB0 \xE6\x97\xB6<b>"
        "\xE9\x95\xBF\xE5\xB0\x81\xE9\x9D\xA2\xE9\x93\xBE</b>\xE6\x8E\xA5\xE8\xAF\x95\xE5\x90\xAC\n";
    const std::string& unit = chinese ? dense : ascii;
    std::string page;
    page.reserve(bytes + 64);
    while (page.size() + unit.size() < bytes) page += unit;
    page += " " + kStart + "215" + kEnd;
    return page;
}

const Text& CachedPage(int64_t megabytes, bool chinese) {
    static Text pages[2][65];
    Text& page = pages[chinese][megabytes];
    if (page.IsAbsent()) page = Text(Page(size_t(megabytes) << 20, chinese));
    return page;
}

void SetBytes(benchmark::State& state, const Text& page) {
    state.SetBytesProcessed(int64_t(state.iterations()) * page.Length());
}

void BM_FindText(benchmark::State& state) {
    const Text& page = CachedPage(state.range(0), state.range(1));
    const Text marker(kStart);
    for (auto _ : state) benchmark::DoNotOptimize(FindText(page, marker));
    SetBytes(state, page);
}

void BM_StringViewFind(benchmark::State& state) {
    const std::string_view page = CachedPage(state.range(0), state.range(1)).View();
    for (auto _ : state) benchmark::DoNotOptimize(page.find(kStart));
    SetBytes(state, CachedPage(state.range(0), state.range(1)));
}

void BM_TakeBetween(benchmark::State& state) {
    const Text& page = CachedPage(state.range(0), state.range(1));
    const Text start(kStart), end(kEnd);
    for (auto _ : state) benchmark::DoNotOptimize(TakeBetween(page, start, end));
    SetBytes(state, page);
}

void BM_StringViewFindBetween(benchmark::State& state) {
    const std::string_view page = CachedPage(state.range(0), state.range(1)).View();
    for (auto _ : state) {
        const size_t after = page.find(kStart) + kStart.size();
        benchmark::DoNotOptimize(page.substr(after, page.find(kEnd, after) - after));
    }
    SetBytes(state, CachedPage(state.range(0), state.range(1)));
}

void BM_Utf8ToAnsi(benchmark::State& state) {
    const Text& page = CachedPage(64, state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(Utf8ToAnsi(page));
    SetBytes(state, page);
}

// The page fetch's body loop: 1024-byte pieces appended until the body is
// complete.
void BM_GrowBody(benchmark::State& state) {
    const int64_t total = state.range(0) << 20;
    const Bytes piece(std::string(1024, 'x'));
    for (auto _ : state) {
        Bytes body;
        for (int64_t size = 0; size < total; size += 1024) body = ConcatBytes(std::move(body), piece);
        benchmark::DoNotOptimize(body.Length());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * total);
}

// {megabytes, chinese}
void PageSizes(benchmark::internal::Benchmark* b) {
    for (int chinese : {0, 1})
        for (int megabytes : {1, 64}) b->Args({megabytes, chinese});
    b->ArgNames({"MB", "chinese"})->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_FindText)->Apply(PageSizes);
BENCHMARK(BM_StringViewFind)->Apply(PageSizes);
BENCHMARK(BM_TakeBetween)->Apply(PageSizes);
BENCHMARK(BM_StringViewFindBetween)->Apply(PageSizes);
BENCHMARK(BM_Utf8ToAnsi)->ArgName("chinese")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrowBody)->ArgName("MB")->Arg(64)->Arg(256)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
