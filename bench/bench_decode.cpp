// Detection and decoding of a 100 KB catalogue page, in Shift_JIS and in
// UTF-8, against a plain memcpy of the same bytes in the same run.
#include "util/code_page.h"
#include "util/string_utility.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>

namespace {

constexpr qsizetype kPageSize = 100 * 1024;

// One result row of a catalogue page, as the pages write them.
const QString kRow = QStringLiteral(
    "<tr><td class=\"no\">1</td><td><a href=\"/opac/detail?bibid=1000123456\">吾輩は猫である</a>"
    "／夏目漱石著．－岩波書店，1990．－（岩波文庫）</td><td>中央図書館</td>"
    "<td>所蔵あり・貸出可（一般書架 913.6/ナ）</td></tr>\r\n");

// Rows until the page is 100 KB, then ASCII padding: whole characters only.
QByteArray PageOf(const QByteArray& row)
{
    QByteArray page = "<html><head><title>蔵書検索結果</title></head><body><table>\r\n";
    while (page.size() + row.size() <= kPageSize)
        page += row;
    page += QByteArray(kPageSize - page.size(), ' ');
    return page;
}

const QByteArray& SjisPage()
{
    static const QByteArray page = PageOf(EncodeCodePage(kRow, kCodePageShiftJis));
    return page;
}

const QByteArray& Utf8Page()
{
    static const QByteArray page = PageOf(kRow.toUtf8());
    return page;
}

void Memcpy(benchmark::State& state, const QByteArray& page)
{
    QByteArray copy(page.size(), '\0');
    for (auto _ : state) {
        std::memcpy(copy.data(), page.constData(), static_cast<size_t>(page.size()));
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * page.size());
}

void DetectAndDecode(benchmark::State& state, const QByteArray& page, TCodePage expected)
{
    if (TStringUtility::DetectCodePage(page) != expected) {
        state.SkipWithError("the page was not detected as its encoding");
        return;
    }
    for (auto _ : state) {
        QString text = TStringUtility::ToUnicodeDetect(page);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * page.size());
}

void DetectOnly(benchmark::State& state, const QByteArray& page)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(TStringUtility::DetectCodePage(page));
    state.SetBytesProcessed(state.iterations() * page.size());
}

void BM_Memcpy_ShiftJis(benchmark::State& state) { Memcpy(state, SjisPage()); }
void BM_DetectDecode_ShiftJis(benchmark::State& state) { DetectAndDecode(state, SjisPage(), kCodePageShiftJis); }
void BM_DetectOnly_ShiftJis(benchmark::State& state) { DetectOnly(state, SjisPage()); }
void BM_Memcpy_Utf8(benchmark::State& state) { Memcpy(state, Utf8Page()); }
void BM_DetectDecode_Utf8(benchmark::State& state) { DetectAndDecode(state, Utf8Page(), kCodePageUtf8); }
void BM_DetectOnly_Utf8(benchmark::State& state) { DetectOnly(state, Utf8Page()); }

BENCHMARK(BM_Memcpy_ShiftJis);
BENCHMARK(BM_DetectDecode_ShiftJis);
BENCHMARK(BM_DetectOnly_ShiftJis);
BENCHMARK(BM_Memcpy_Utf8);
BENCHMARK(BM_DetectDecode_Utf8);
BENCHMARK(BM_DetectOnly_Utf8);

// The console report, and each benchmark's throughput for the summary.
class ThroughputReporter final : public benchmark::ConsoleReporter
{
public:
    ThroughputReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto rate = run.counters.find("bytes_per_second");
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && rate != run.counters.end())
                bytesPerSecond_[run.benchmark_name()] = rate->second.value;
        }
    }

    void PrintSummary(const char* encoding, const std::string& suffix) const
    {
        const double copy = Rate("BM_Memcpy_" + suffix);
        const double decode = Rate("BM_DetectDecode_" + suffix);
        const double detect = Rate("BM_DetectOnly_" + suffix);
        if (copy <= 0 || decode <= 0)
            return;
        // MB of 10^6 bytes.
        std::printf("%-9s 100 KB page: detect+decode %8.1f MB/s (detect alone %8.1f MB/s), memcpy %8.1f MB/s; "
                    "detect+decode takes %.1f times as long as memcpy\n",
                    encoding, decode / 1e6, detect / 1e6, copy / 1e6, copy / decode);
    }

private:
    double Rate(const std::string& name) const
    {
        const auto found = bytesPerSecond_.find(name);
        return found == bytesPerSecond_.end() ? 0.0 : found->second;
    }

    std::map<std::string, double> bytesPerSecond_;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    ThroughputReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    reporter.PrintSummary("Shift_JIS", "ShiftJis");
    reporter.PrintSummary("UTF-8", "Utf8");
    benchmark::Shutdown();
    return 0;
}
