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

// One book the fake NDL Search knows, as its record shows it.
struct FakeNdlBook
{
    QString isbn;   // ISBN-10 or ISBN-13; it answers to either form
    QString title;
    QString price;  // dcndl:price as written ("3,200円"); empty: none
    QString issued; // dcterms:issued ("1989.5"); empty: none
    QString date;   // dc:date ("1989"); empty: none
};

// One search the fake received.
struct FakeNdlRequest
{
    QString isbn; // the isbn parameter as sent
    QString dpid; // the dpid parameter, empty without one
    int status = 0;
    // How long the fake held it before answering: the delay it was told,
    // plus however late its thread woke.
    std::chrono::microseconds held{0};
};

// An in-process stand-in for NDL Search's OpenSearch on 127.0.0.1:
// GET /api/opensearch?isbn=... answers RSS 2.0 in the service's shape, with
// one item for a known ISBN and none (totalResults 0) for any other. It can
// be told to answer slowly, with an error status, or with a body of the
// test's. Every request is recorded. Serving starts in the constructor.
class FakeNdl final
{
public:
    FakeNdl();
    ~FakeNdl();
    FakeNdl(const FakeNdl&) = delete;
    FakeNdl& operator=(const FakeNdl&) = delete;

    void AddBook(const FakeNdlBook& book);
    void AddBooks(const QList<FakeNdlBook>& books);

    void SetDelay(std::chrono::milliseconds delay) { control_.SetDelay(delay); }
    void AnswerStatus(int status) { control_.AnswerStatus(status); } // 0: answer normally
    // Answers every search with these bytes; a null array: normal answers.
    void ServeBody(const QByteArray& body) { control_.ServeBody(body); }

    // "http://127.0.0.1:<port>": the value for the endpoint table's NDL entry.
    QString baseUrl() const { return server_.baseUrl(); }

    QList<FakeNdlRequest> Requests() const;
    void ClearRequests();
    // The isbn parameters in the order received.
    QStringList RequestedIsbns() const;

    // The record address the fake gives a book.
    static QString RecordUrl(const QString& isbn13);
    // 坊っちゃん (priced, month), and a book openBD does not know.
    static QList<FakeNdlBook> SampleBooks();

private:
    void Search(const httplib::Request& request, httplib::Response& response);
    QByteArray AnswerFor(const QString& isbn) const;

    LoopbackServer server_;
    mutable std::mutex mutex_;
    QHash<QString, FakeNdlBook> books_; // by ISBN-13
    QList<FakeNdlRequest> requests_;
    FakeAnswerControl control_;
};
