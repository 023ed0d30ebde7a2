// Deliveries into the results table: the indexed table against a table that
// scans every row for every delivery, recomputing keys on each comparison.
// A table of N rows with 8 selected libraries receives 8·N library results
// in random order, interleaved with N/10 bookseller batches of 10 records.
// Both run in this process on the same deliveries; the ratio is printed.

#include "config/app_config.h"
#include "libraries/library_list.h"
#include "results/csv_writer.h"
#include "results/results_table.h"
#include "books/isbn.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <variant>
#include <vector>

namespace {

constexpr int kLibraries = 8;

struct LibraryDelivery
{
    QString isbn;
    QString result;
    QString library;
};
using AmazonBatch = std::vector<TBookData>;
using Delivery = std::variant<LibraryDelivery, AmazonBatch>;

// The straightforward table: every delivery visits the rows from the top.
class LinearScanTable final
{
public:
    void SetIsbnList(const QStringList& isbns)
    {
        books_.assign(size_t(isbns.size()), TBookData());
        for (qsizetype i = 0; i < isbns.size(); ++i)
            books_[size_t(i)].Isbn = isbns[i];
    }

    void SetAmazonData(const AmazonBatch& batch)
    {
        for (const TBookData& delivered : batch) {
            const QString key = Isbn13ToIsbn10(delivered.GetNormalizedIsbn());
            for (TBookData& book : books_) {
                if (Isbn13ToIsbn10(book.GetNormalizedIsbn()) != key)
                    continue;
                book.Title = delivered.Title + u' ';
                book.Amount = delivered.Amount + u' ';
                book.SalesRank = delivered.SalesRank + u' ';
                book.PublicationDate = delivered.PublicationDate + u' ';
                book.DetailPageUrl = delivered.DetailPageUrl;
            }
        }
    }

    void SetLibraryResult(const QString& isbn, const QString& result, const QString& library)
    {
        const QString key = Isbn13ToIsbn10(isbn);
        for (TBookData& book : books_) {
            if (Isbn13ToIsbn10(book.GetNormalizedIsbn()) == key) {
                book.LibraryResults.insert(library, TLibraryAnswer::FromSearchResult(result));
                return;
            }
        }
    }

    const std::vector<TBookData>& Books() const { return books_; }

private:
    std::vector<TBookData> books_;
};

// N distinct ISBN-13s of the 978 prefix, and their ISBN-10 search keys.
struct Isbns
{
    QStringList isbn13;
    QStringList keys;
};

Isbns MakeIsbns(int count, std::mt19937& random)
{
    Isbns isbns;
    QSet<QString> seen;
    std::uniform_int_distribution<int> body(0, 999'999'999);
    while (isbns.keys.size() < count) {
        const QString isbn13 = QStringLiteral("978%1").arg(body(random), 9, 10, QLatin1Char('0')) + u'0';
        const QString key = Isbn13ToIsbn10(isbn13);
        if (seen.contains(key))
            continue;
        seen.insert(key);
        isbns.isbn13.append(isbn13);
        isbns.keys.append(key);
    }
    return isbns;
}

std::vector<Delivery> MakeDeliveries(const Isbns& isbns, const QStringList& libraries, std::mt19937& random)
{
    const qsizetype count = isbns.keys.size();
    std::vector<Delivery> deliveries;
    std::bernoulli_distribution held(0.3);
    for (qsizetype i = 0; i < count; ++i) {
        for (const QString& library : libraries) {
            const QString result = held(random)
                ? QStringLiteral("http://opac.example/%1/%2").arg(libraries.indexOf(library)).arg(isbns.keys[i])
                : QString();
            deliveries.emplace_back(LibraryDelivery{isbns.keys[i], result, library});
        }
    }
    // The bookseller answers in batches of ten keys, taken in memo order;
    // half of its records carry the ISBN-13.
    for (qsizetype first = 0; first < count; first += 10) {
        AmazonBatch batch;
        for (qsizetype i = first; i < std::min(first + 10, count); ++i) {
            TBookData record;
            record.Isbn = i % 2 ? isbns.isbn13[i] : isbns.keys[i];
            record.Title = QStringLiteral("書名 %1").arg(i);
            record.Amount = QString::number(100 + i % 5000);
            record.PublicationDate = QStringLiteral("20%1-%2").arg(10 + i % 14).arg(1 + i % 12, 2, 10, QLatin1Char('0'));
            record.SalesRank = QString::number(1 + i * 7 % 100000);
            record.DetailPageUrl = QStringLiteral("http://amazon.example/dp/%1").arg(isbns.keys[i]);
            batch.push_back(record);
        }
        deliveries.emplace_back(std::move(batch));
    }
    std::shuffle(deliveries.begin(), deliveries.end(), random);
    return deliveries;
}

// Wall-clock and this thread's CPU time of one operation, in milliseconds.
// On a shared machine the CPU time is the steadier figure.
struct Timing
{
    double wallMs = 0;
    double cpuMs = 0;
};

double ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

template <typename Operation>
Timing Measure(Operation operation)
{
    QElapsedTimer timer;
    const double cpuStart = ThreadCpuMs();
    timer.start();
    operation();
    return {double(timer.nsecsElapsed()) / 1e6, ThreadCpuMs() - cpuStart};
}

template <typename Table>
Timing Deliver(Table& table, const std::vector<Delivery>& deliveries)
{
    return Measure([&] {
        for (const Delivery& delivery : deliveries) {
            if (const auto* library = std::get_if<LibraryDelivery>(&delivery))
                table.SetLibraryResult(library->isbn, library->result, library->library);
            else
                table.SetAmazonData(std::get<AmazonBatch>(delivery));
        }
    });
}

// Returns false when the two tables disagree.
bool Run(int count, bool withLinearScan, TAppConfig& config)
{
    std::mt19937 random(20240601u + unsigned(count));
    const Isbns isbns = MakeIsbns(count, random);
    const std::vector<Delivery> deliveries = MakeDeliveries(isbns, config.GetLibraryNames(), random);

    TResultsTable indexed;
    indexed.SetConfig(config);
    indexed.UpdateColumns();
    const Timing list = Measure([&] { indexed.SetIsbnList(isbns.keys); });
    const Timing indexedTime = Deliver(indexed, deliveries);

    std::printf("N = %d: %zu deliveries (%d library results, %d bookseller batches of 10)\n", count,
                deliveries.size(), kLibraries * count, (count + 9) / 10);
    std::printf("  indexed table:     %9.1f ms wall, %9.1f ms CPU   (new list with its index: %.1f ms CPU)\n",
                indexedTime.wallMs, indexedTime.cpuMs, list.cpuMs);

    bool same = true;
    if (withLinearScan) {
        LinearScanTable linear;
        linear.SetIsbnList(isbns.keys);
        const Timing linearTime = Deliver(linear, deliveries);
        same = linear.Books() == indexed.Books();
        std::printf("  linear-scan table: %9.1f ms wall, %9.1f ms CPU\n", linearTime.wallMs, linearTime.cpuMs);
        std::printf("  linear / indexed:  %9.0f x wall,  %9.0f x CPU%s\n", linearTime.wallMs / indexedTime.wallMs,
                    linearTime.cpuMs / indexedTime.cpuMs, same ? "" : "   THE TABLES DIFFER");
    }

    const Timing amount = Measure([&] { indexed.SortByAmount(); });
    const Timing date = Measure([&] { indexed.SortByPublicationDate(); });
    const Timing rank = Measure([&] { indexed.SortBySalesRank(); });
    QByteArray csv;
    const Timing csvTime = Measure([&] { csv = CsvBytesOf(indexed); });
    std::printf("  CPU ms of the sorts by amount %.1f, date %.1f, rank %.1f; of the CSV bytes %.1f (%lld bytes)\n",
                amount.cpuMs, date.cpuMs, rank.cpuMs, csvTime.cpuMs, static_cast<long long>(csv.size()));
    return same;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TAppConfig config;
    const QStringList libraries = config.GetLibraryList()->GetNameMap().keys();
    if (libraries.size() != kLibraries) {
        std::fprintf(stderr, "expected %d libraries, found %lld\n", kLibraries, static_cast<long long>(libraries.size()));
        return 1;
    }
    config.SetLibraryNames(libraries);

    // Sizes from the command line, or the two of the goals. Beyond 10,000
    // rows the linear scan would take many minutes; only the indexed table.
    QList<int> counts;
    for (const QString& argument : app.arguments().mid(1))
        counts.append(argument.toInt());
    if (counts.isEmpty())
        counts = {2'000, 50'000};
    bool same = true;
    for (const int count : counts)
        same = Run(count, count <= 10'000, config) && same;
    return same ? 0 : 1;
}
