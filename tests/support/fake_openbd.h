#pragma once

#include "support/fake_answer_control.h"
#include "support/loopback_server.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <mutex>

// One book the fake openBD knows.
struct FakeOpenBdBook
{
    QString isbn;        // ISBN-10 or ISBN-13; it answers to either form
    QString title;
    QString priceAmount; // PriceAmount as sent; empty: the record has no price
    QString pubdate;     // summary.pubdate and the ONIX publishing date, as sent
};

// One lookup the fake openBD received.
struct FakeOpenBdRequest
{
    QString method;    // "GET" or "POST"
    QStringList isbns; // the isbn value split at commas, as sent
    int status = 0;
    // How long the fake held it before answering: the delay it was told,
    // plus however late its thread woke.
    std::chrono::microseconds held{0};
};

// An in-process stand-in for openBD's /v1/get on 127.0.0.1: ISBNs from the
// query (GET, up to 1,000) or from a form body (POST, up to 10,000), an answer
// in openBD's shape: a JSON array in request order, a record (ONIX part,
// hanmoto part, summary) for a known ISBN and null for any other. It can be
// told to answer slowly, with an error status, or with a body of the test's.
// Every request is recorded. Serving starts in the constructor.
class FakeOpenBd final
{
public:
    FakeOpenBd();
    ~FakeOpenBd();
    FakeOpenBd(const FakeOpenBd&) = delete;
    FakeOpenBd& operator=(const FakeOpenBd&) = delete;

    void AddBook(const FakeOpenBdBook& book);
    void AddBooks(const QList<FakeOpenBdBook>& books);

    // Behaviour for every later request until changed.
    void SetDelay(std::chrono::milliseconds delay) { control_.SetDelay(delay); }
    void AnswerStatus(int status) { control_.AnswerStatus(status); } // 0: answer normally
    // Answers every lookup with these bytes; a null array: normal answers.
    void ServeBody(const QByteArray& body) { control_.ServeBody(body); }

    // "http://127.0.0.1:<port>": the value for the endpoint table's openBD entry.
    QString baseUrl() const { return server_.baseUrl(); }

    QList<FakeOpenBdRequest> Requests() const;
    void ClearRequests();
    int RequestCount() const;

    // Three of the sample's books: こころ with a price, 坊っちゃん without
    // one, and an ASCII title with an ISBN-13 and a month only.
    static QList<FakeOpenBdBook> SampleBooks();

private:
    void Lookup(const QString& method, const QString& isbnValue, httplib::Response& response);
    QByteArray AnswerFor(const QStringList& isbns) const;

    LoopbackServer server_;
    mutable std::mutex mutex_;
    // Each book's record, rendered once when it is added: a lookup of a
    // thousand must take the fake no time that the delay does not account for.
    QHash<QString, QByteArray> records_; // by ISBN-13
    QList<FakeOpenBdRequest> requests_;
    FakeAnswerControl control_;
};

// The ISBN-13 form of an ISBN-10 or ISBN-13 (digits, x or X, hyphens
// ignored); empty for anything else.
QString FakeIsbn13(const QString& isbn);
