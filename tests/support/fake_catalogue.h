#pragma once

#include "support/loopback_server.h"
#include "util/code_page.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TEndpoints;

// The catalogue products a fake can stand in for.
enum class CatalogueKind { Matsue, Fussa, Hamura, Inagi, Shinagawa, Mitaka, Osakafu, Osakashi };

// Every kind once, for tests that run over all catalogues.
const std::vector<CatalogueKind>& AllCatalogueKinds();
// The library's display name, the key of its endpoint.
QString LibraryNameOf(CatalogueKind kind);
// A name usable in test names ("Matsue").
std::string ShortNameOf(CatalogueKind kind);

// One request as it reached the fake.
struct ReceivedRequest
{
    std::string target; // path and query exactly as sent
    std::string path;   // the part before '?'
    std::string query;  // the part after '?', empty without one
    int clientPort = 0; // one port per TCP connection of the client
};

// An in-process catalogue on 127.0.0.1 that answers the ISBN search of one
// catalogue kind the way the real one does: a result list with that
// catalogue's record links when it holds the ISBN, its no-hit page when it
// does not, in the code page chosen for it. Other paths get 404.
//
// It records every request and can be told to answer slowly, with an error
// status, by resetting the connection, or not at all until released.
// Serving starts in the constructor; the destructor releases every stalled
// request and stops, so a test never hangs in its teardown.
class FakeCatalogue final
{
public:
    explicit FakeCatalogue(CatalogueKind kind);
    ~FakeCatalogue();
    FakeCatalogue(const FakeCatalogue&) = delete;
    FakeCatalogue& operator=(const FakeCatalogue&) = delete;

    CatalogueKind kind() const { return kind_; }
    QString libraryName() const { return LibraryNameOf(kind_); }
    QString baseUrl() const { return server_.baseUrl(); }
    // Points the library's endpoint at this fake.
    void PointEndpoint(TEndpoints& endpoints) const;

    // The code page of the pages: Shift_JIS (932), EUC-JP (20932) or UTF-8.
    void SetCodePage(TCodePage codePage);
    TCodePage codePage() const;

    // The records listed for an ISBN (as it arrives in the query), in list
    // order. A record is written into the page as it stands:
    //   Sopcsken catalogues: the dispDetail() argument before its comma,
    //     e.g. 1234567 or '1234567';
    //   Osakafu: the tilcod code; Osakashi: the opi_103.cgi query;
    //   Mitaka: the /clis/detail query; the fake appends "&SID=...".
    void Hold(const QString& isbn, const QStringList& records);
    void ClearHoldings();
    // The detail page URL a correct backend gives for the ISBN (from its
    // first record, with an Osaka record's "&amp;" read as "&"), or the
    // empty text when the ISBN is not held.
    QString DetailUrlFor(const QString& isbn) const;

    // Behaviour for every later request until changed.
    void SetDelay(std::chrono::milliseconds delay);
    void AnswerStatus(int status); // 0: answer normally
    void SetResetConnections(bool reset);
    // Answers every search with this text (another layout, an error page of
    // the catalogue), encoded in the catalogue's code page. Empty: normal.
    void ServePage(const QString& html);
    // Holds every later request until ReleaseStalled() or destruction.
    void StallRequests();
    void ReleaseStalled();

    std::vector<ReceivedRequest> requests() const;
    int requestCount() const;
    // Distinct client ports seen: the TCP connections the client opened.
    int connectionCount() const;
    // TCP connections the fake accepted, whether a request came on them or not.
    int acceptedConnections() const { return server_.acceptedConnections(); }
    void ClearRequests();
    // Waits until at least `count` requests have arrived.
    bool WaitForRequests(int count, std::chrono::milliseconds timeout) const;

private:
    void Answer(const httplib::Request& request, httplib::Response& response);
    QString ResultPage(const QString& isbn, const QStringList& records) const;
    QString NoHitPage(const QString& isbn) const;
    QString IsbnOfQuery(const std::string& query) const;

    const CatalogueKind kind_;
    LoopbackServer server_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    TCodePage codePage_;
    QHash<QString, QStringList> holdings_;
    std::chrono::milliseconds delay_{0};
    int status_ = 0;
    bool reset_ = false;
    bool stalling_ = false;
    bool stopping_ = false;
    QString pageOverride_;
    std::vector<ReceivedRequest> requests_;
    int sessionCounter_ = 0;
};

// Two records as the catalogue of that kind writes them into a result list,
// for Hold().
QStringList SampleRecordsOf(CatalogueKind kind);

// One fake for each of the eight catalogues, for searches over all of them.
class FakeCatalogueSet final
{
public:
    FakeCatalogueSet();

    FakeCatalogue& at(CatalogueKind kind);
    // Points every library's endpoint at its fake.
    void PointEndpoints(TEndpoints& endpoints) const;

private:
    std::vector<std::unique_ptr<FakeCatalogue>> fakes_;
};
