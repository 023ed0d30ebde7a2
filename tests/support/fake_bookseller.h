#pragma once

#include "support/loopback_server.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <chrono>
#include <condition_variable>
#include <mutex>

// One book the fake bookseller knows, as its ItemLookup answer shows it.
struct FakeBook
{
    QString isbn;            // the ItemId it answers to, and its ISBN element
    QString title;
    QString amount;          // ListPrice/Amount; empty: the item has no ListPrice
    QString publicationDate;
    QString salesRank;
    QString detailPageUrl;   // empty: a product page URL made from the ISBN
};

// One request the fake bookseller received.
struct FakeBooksellerRequest
{
    QString target;                  // path and query exactly as received
    QString host;                    // the Host header
    QMap<QString, QString> parameters; // decoded query parameters
    QStringList itemIds;             // the decoded ItemId value split at commas
    int status = 0;                  // the status it was answered with
};

// An in-process stand-in for the bookseller's product API on 127.0.0.1. It
// answers GET /onca/xml as the service does: it recomputes the request's
// signature from the received query, the Host header and its secret key and
// answers 403 with an error document when it does not match (or the access
// key id is not the one it was given), 400 when a parameter is missing,
// otherwise an ItemLookupResponse in UTF-8 with one Item per distinct known
// ItemId, in request order. Every request is recorded. The behaviour setters
// may be called while it serves.
class FakeBookseller final
{
public:
    FakeBookseller(QString accessKeyId, QString secretAccessKey);
    ~FakeBookseller();
    FakeBookseller(const FakeBookseller&) = delete;
    FakeBookseller& operator=(const FakeBookseller&) = delete;

    void AddBook(const FakeBook& book);
    void AddBooks(const QList<FakeBook>& books);

    // The next `count` requests are answered with `status` and an error
    // document, before any check.
    void FailFirstAttempts(int count, int status = 503);
    // Valid requests get a 200 answer that is not XML at all.
    void SetAnswerNotXml(bool notXml);
    // Valid requests get this body with status 200 instead of the built
    // answer; a null array goes back to the built answer.
    void SetAnswerBody(const QByteArray& body);
    // Every answer waits this long first (cut short when the server stops).
    void SetAnswerDelay(std::chrono::milliseconds delay);

    void Start();
    void Stop();

    // "127.0.0.1:<port>": the value for the endpoint table's Amazon entry.
    QString host() const { return server_.hostAndPort(); }
    QString accessKeyId() const { return accessKeyId_; }
    QString secretAccessKey() const { return secretAccessKey_; }

    QList<FakeBooksellerRequest> Requests() const;
    // TCP connections the fake accepted.
    int acceptedConnections() const { return server_.acceptedConnections(); }
    int RequestCount() const;
    void ClearRequests();

    // Three Japanese paperbacks, a book without a list price, and one with an
    // ASCII title; ISBN-10 forms.
    static QList<FakeBook> SampleBooks();

    // The signature the service expects for a query (without its Signature
    // parameter) sent to a host: the service's own canonical form of the
    // parameters, signed with HMAC-SHA256 and written in Base64.
    static QString ExpectedSignature(const QMap<QString, QString>& parameters,
                                     const QString& host, const QString& secretAccessKey);

private:
    void Handle(const httplib::Request& request, httplib::Response& response);
    void Wait(std::chrono::milliseconds delay);

    LoopbackServer server_;
    const QString accessKeyId_;
    const QString secretAccessKey_;

    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    QMap<QString, FakeBook> books_;
    QList<FakeBooksellerRequest> requests_;
    int failuresLeft_ = 0;
    int failureStatus_ = 503;
    bool notXml_ = false;
    QByteArray fixedBody_;
    std::chrono::milliseconds delay_{0};
};
