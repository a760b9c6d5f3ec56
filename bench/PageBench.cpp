// How long a hostile page takes to read: every pass over a page is linear,
// so 2 MB of "&" or of unclosed tags cost what their bytes cost.
#include "HtmlText.h"
#include "PageScan.h"

#include <benchmark/benchmark.h>

namespace {

const QByteArray kLink = "http://www.site.example/page.html";

void decodeAmpersands(benchmark::State& st)
{
    const QByteArray text = QByteArray("&").repeated(st.range(0));
    for (auto _ : st)
        benchmark::DoNotOptimize(HtmlText::decode(text));
    st.SetBytesProcessed(st.iterations() * text.size());
}

void descriptionOfAHostilePage(benchmark::State& st)
{
    const QByteArray page =
        "<meta name=\"description\" content=\"" + QByteArray("&amp").repeated(st.range(0) / 4) + "\">";
    for (auto _ : st) {
        bool found = false;
        benchmark::DoNotOptimize(PageScan::descriptionText(PageScan::description(page, &found)));
    }
    st.SetBytesProcessed(st.iterations() * page.size());
}

void iconLinksOfAHostilePage(benchmark::State& st)
{
    const QByteArray page =
        QByteArray("<link rel=\"icon\" href=\"/i.ico\" sizes=\"16x16\" ").repeated(st.range(0) / 46);
    for (auto _ : st) {
        QByteArray extension;
        bool declared = false;
        benchmark::DoNotOptimize(PageScan::iconAddress(page, kLink, &extension, &declared));
    }
    st.SetBytesProcessed(st.iterations() * page.size());
}

} // namespace

// The sizes grow fourfold: a linear pass shows the same bytes per second at each.
BENCHMARK(decodeAmpersands)->RangeMultiplier(4)->Range(128 << 10, 2 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(descriptionOfAHostilePage)->RangeMultiplier(4)->Range(128 << 10, 2 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(iconLinksOfAHostilePage)->RangeMultiplier(4)->Range(128 << 10, 2 << 20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
