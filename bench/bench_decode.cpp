// Detection and decoding of a 100 KB catalogue page in each of the five
// encodings, against glibc's iconv converting the same bytes with the
// encoding already known and against a plain memcpy of them, in the same
// run; and the one-time cost of the decoding tables.
#include "util/code_page.h"
#include "util/multi_byte_table.h"
#include "util/string_utility.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QString>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iconv.h>
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
QByteArray PageOf(const QByteArray& head, const QByteArray& row, const QByteArray& pad)
{
    QByteArray page = head;
    while (page.size() + row.size() <= kPageSize)
        page += row;
    while (page.size() + pad.size() <= kPageSize)
        page += pad;
    return page;
}

QByteArray PageOf(const QString& head, TCodePage codePage)
{
    return PageOf(EncodeCodePage(head, codePage), EncodeCodePage(kRow, codePage), EncodeCodePage(u" ", codePage));
}

const QString kHead = QStringLiteral("<html><head><title>蔵書検索結果</title></head><body><table>\r\n");

// EUC-JP and ISO-2022-JP written from the Shift_JIS bytes, so that the
// characters CP932 alone names (the full-width hyphen-minus) come out as
// the JIS codes Windows writes for them.
QByteArray EucJpOfShiftJis(const QByteArray& sjis)
{
    QByteArray euc;
    for (qsizetype i = 0; i < sjis.size(); ++i) {
        const auto b = static_cast<quint8>(sjis[i]);
        if (b < 0x80) {
            euc += static_cast<char>(b);
        } else if (b >= 0xA1 && b <= 0xDF) {
            euc += '\x8E';
            euc += static_cast<char>(b);
        } else {
            const auto trail = static_cast<quint8>(sjis[++i]);
            int row = (b <= 0x9F ? b - 0x70 : b - 0xB0) * 2;
            int cell = trail;
            if (trail < 0x9F) {
                --row;
                cell = trail - (trail >= 0x80 ? 0x20 : 0x1F);
            } else {
                cell = trail - 0x7E;
            }
            euc += static_cast<char>(row | 0x80);
            euc += static_cast<char>(cell | 0x80);
        }
    }
    return euc;
}

QByteArray Iso2022JpOfEucJp(const QByteArray& euc)
{
    QByteArray jis;
    bool kanji = false;
    for (qsizetype i = 0; i < euc.size(); ++i) {
        const auto b = static_cast<quint8>(euc[i]);
        if ((b >= 0x80) != kanji) {
            kanji = b >= 0x80;
            jis += kanji ? "\x1B$B" : "\x1B(B";
        }
        jis += static_cast<char>(b & 0x7F);
    }
    if (kanji)
        jis += "\x1B(B";
    return jis;
}

struct Page
{
    const char* name;
    QByteArray bytes;
    TCodePage codePage;
    const char* iconvName;
};

const std::vector<Page>& Pages()
{
    static const std::vector<Page> pages = [] {
        const QByteArray sjis = PageOf(kHead, kCodePageShiftJis);
        const QByteArray euc = EucJpOfShiftJis(sjis);
        QByteArray utf16 = PageOf(EncodeCodePage(QChar(0xFEFF) + kHead, kCodePageUtf16Le),
                                  EncodeCodePage(kRow, kCodePageUtf16Le), EncodeCodePage(u" ", kCodePageUtf16Le));
        return std::vector<Page>{
            {"ShiftJis", sjis, kCodePageShiftJis, "CP932"},
            {"EucJp", euc, kCodePageEucJp, "EUC-JP"},
            {"Iso2022Jp", Iso2022JpOfEucJp(euc), kCodePageIso2022Jp, "ISO-2022-JP"},
            {"Utf8", PageOf(kHead, kCodePageUtf8), kCodePageUtf8, "UTF-8"},
            {"Utf16", utf16, kCodePageUtf16Le, "UTF-16"},
        };
    }();
    return pages;
}

void Memcpy(benchmark::State& state, const Page& page)
{
    QByteArray copy(page.bytes.size(), '\0');
    for (auto _ : state) {
        std::memcpy(copy.data(), page.bytes.constData(), static_cast<size_t>(page.bytes.size()));
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * page.bytes.size());
}

void DetectAndDecode(benchmark::State& state, const Page& page)
{
    if (TStringUtility::DetectCodePage(page.bytes) != page.codePage) {
        state.SkipWithError("the page was not detected as its encoding");
        return;
    }
    for (auto _ : state) {
        QString text = TStringUtility::ToUnicodeDetect(page.bytes);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * page.bytes.size());
}

void DetectOnly(benchmark::State& state, const Page& page)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(TStringUtility::DetectCodePage(page.bytes));
    state.SetBytesProcessed(state.iterations() * page.bytes.size());
}

// glibc converting the whole page to UTF-16 into a buffer ready beforehand:
// the encoding known, no detection, no text object.
void Iconv(benchmark::State& state, const Page& page)
{
    iconv_t cd = iconv_open("UTF-16LE", page.iconvName);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        state.SkipWithError("iconv has no such converter");
        return;
    }
    std::vector<char> out(static_cast<size_t>(page.bytes.size()) * 2 + 16);
    for (auto _ : state) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(page.bytes.constData());
        size_t inLeft = static_cast<size_t>(page.bytes.size());
        char* outPtr = out.data();
        size_t outLeft = out.size();
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            state.SkipWithError("iconv stopped inside the page");
            break;
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    iconv_close(cd);
    state.SetBytesProcessed(state.iterations() * page.bytes.size());
}

// The tables are built once per process, on the first page of their code page.
void BuildCp932Table(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(MultiByteTableFromIconv("CP932").usable);
}

void BuildEucJpTable(benchmark::State& state)
{
    const MultiByteTable& cp932 = Cp932Table();
    for (auto _ : state)
        benchmark::DoNotOptimize(EucJpTableFromIconv(JisX0208Reading::Cp932, cp932).usable);
}

// The first page of a code page pays for its table, built from glibc then;
// measured before anything else of this process decodes.
void PrintFirstPageCost()
{
    for (const Page& page : Pages()) {
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        benchmark::DoNotOptimize(TStringUtility::ToUnicodeDetect(page.bytes).size());
        const auto first = Clock::now();
        benchmark::DoNotOptimize(TStringUtility::ToUnicodeDetect(page.bytes).size());
        const auto second = Clock::now();
        std::printf("first %-9s page of the process %6.3f ms, the next %6.3f ms\n", page.name,
                    std::chrono::duration<double, std::milli>(first - start).count(),
                    std::chrono::duration<double, std::milli>(second - first).count());
    }
}

void RegisterAll()
{
    for (const Page& page : Pages()) {
        const std::string suffix = std::string("_") + page.name;
        benchmark::RegisterBenchmark(("BM_Memcpy" + suffix).c_str(), Memcpy, page);
        benchmark::RegisterBenchmark(("BM_Iconv" + suffix).c_str(), Iconv, page);
        benchmark::RegisterBenchmark(("BM_DetectDecode" + suffix).c_str(), DetectAndDecode, page);
        benchmark::RegisterBenchmark(("BM_DetectOnly" + suffix).c_str(), DetectOnly, page);
    }
    benchmark::RegisterBenchmark("BM_BuildTable_Cp932", BuildCp932Table)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_BuildTable_EucJp", BuildEucJpTable)->Unit(benchmark::kMillisecond);
}

// The console report, and each benchmark's throughput for the summary.
class ThroughputReporter final : public benchmark::ConsoleReporter
{
public:
    ThroughputReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            const auto rate = run.counters.find("bytes_per_second");
            if (rate != run.counters.end())
                bytesPerSecond_[run.benchmark_name()] = rate->second.value;
            secondsPerRun_[run.benchmark_name()] =
                run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }

    void PrintSummary(const Page& page) const
    {
        const std::string suffix = std::string("_") + page.name;
        const double copy = Rate("BM_Memcpy" + suffix);
        const double decode = Rate("BM_DetectDecode" + suffix);
        const double detect = Rate("BM_DetectOnly" + suffix);
        const double iconv = Rate("BM_Iconv" + suffix);
        if (copy <= 0 || decode <= 0)
            return;
        // GB of 10^9 bytes; the ratios compare throughputs of this run.
        char detectText[64];
        if (detect < 1e12)
            std::snprintf(detectText, sizeof detectText, "detect %5.2f GB/s", detect / 1e9);
        else
            std::snprintf(detectText, sizeof detectText, "detect by the first bytes");
        std::printf("%-9s %5.1f KB: detect+decode %5.2f GB/s (%s) = %5.2f x iconv (%4.2f GB/s) = 1/%-5.1f x memcpy "
                    "(%5.1f GB/s)\n",
                    page.name, page.bytes.size() / 1024.0, decode / 1e9, detectText, iconv > 0 ? decode / iconv : 0.0,
                    iconv / 1e9, copy / decode, copy / 1e9);
    }

    void PrintTableCost() const
    {
        for (const char* name : {"BM_BuildTable_Cp932", "BM_BuildTable_EucJp"}) {
            const auto found = secondsPerRun_.find(name);
            if (found != secondsPerRun_.end())
                std::printf("%s: %.2f ms once per process\n", name + 3, found->second * 1e3);
        }
    }

private:
    double Rate(const std::string& name) const
    {
        const auto found = bytesPerSecond_.find(name);
        return found == bytesPerSecond_.end() ? 0.0 : found->second;
    }

    std::map<std::string, double> bytesPerSecond_;
    std::map<std::string, double> secondsPerRun_;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    PrintFirstPageCost();
    RegisterAll();
    ThroughputReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    for (const Page& page : Pages())
        reporter.PrintSummary(page);
    reporter.PrintTableCost();
    benchmark::Shutdown();
    return 0;
}
