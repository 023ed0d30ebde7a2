#pragma once

#include <QByteArray>
#include <QString>

class SearchEnvironment;

// The search the benchmarks run, through the command line or the window:
// every request waits `delayMs` at the fakes, the bookseller's included;
// every third ISBN is held by each catalogue, so result pages and no-hit
// pages are both parsed; the first `libraryCount` catalogues are selected.
struct BenchSearch
{
    QString config;  // the settings file pointing at the fakes
    QByteArray memo; // one ISBN a line
    int isbns = 0;
    int libraries = 0;
    int delayMs = 0;

    // ISBNs x delay: each library asks its ISBNs one after the other, all
    // libraries and the bookseller at once.
    double IdealSeconds() const { return isbns * delayMs / 1000.0; }
};

BenchSearch PrepareBenchSearch(SearchEnvironment& env, int isbns, int delayMs, int libraryCount);
