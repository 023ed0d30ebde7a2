#include "support/fake_openbd.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <QUrlQuery>

namespace {

constexpr qsizetype kMaxGetIsbns = 1000;
constexpr qsizetype kMaxPostIsbns = 10000;

QJsonObject Record(const FakeOpenBdBook& book, const QString& isbn13)
{
    QJsonObject supply{{QStringLiteral("ProductAvailability"), QStringLiteral("99")}};
    if (!book.priceAmount.isEmpty()) {
        supply.insert(QStringLiteral("Price"),
                      QJsonArray{QJsonObject{{QStringLiteral("PriceType"), QStringLiteral("03")},
                                             {QStringLiteral("PriceAmount"), book.priceAmount},
                                             {QStringLiteral("CurrencyCode"), QStringLiteral("JPY")}}});
    }
    const QJsonObject onix{
        {QStringLiteral("RecordReference"), isbn13},
        {QStringLiteral("ProductIdentifier"),
         QJsonObject{{QStringLiteral("ProductIDType"), QStringLiteral("15")}, {QStringLiteral("IDValue"), isbn13}}},
        {QStringLiteral("DescriptiveDetail"),
         QJsonObject{{QStringLiteral("TitleDetail"),
                      QJsonObject{{QStringLiteral("TitleType"), QStringLiteral("01")},
                                  {QStringLiteral("TitleElement"),
                                   QJsonObject{{QStringLiteral("TitleElementLevel"), QStringLiteral("01")},
                                               {QStringLiteral("TitleText"),
                                                QJsonObject{{QStringLiteral("content"), book.title}}}}}}}}},
        {QStringLiteral("PublishingDetail"),
         QJsonObject{{QStringLiteral("PublishingDate"),
                      QJsonArray{QJsonObject{{QStringLiteral("PublishingDateRole"), QStringLiteral("01")},
                                             {QStringLiteral("Date"), book.pubdate}}}}}},
        {QStringLiteral("ProductSupply"), QJsonObject{{QStringLiteral("SupplyDetail"), supply}}},
    };
    const QJsonObject summary{
        {QStringLiteral("isbn"), isbn13},       {QStringLiteral("title"), book.title},
        {QStringLiteral("volume"), QString()},  {QStringLiteral("series"), QString()},
        {QStringLiteral("publisher"), QStringLiteral("架空書房")},
        {QStringLiteral("pubdate"), book.pubdate}, {QStringLiteral("cover"), QString()},
        {QStringLiteral("author"), QStringLiteral("著者")},
    };
    return QJsonObject{{QStringLiteral("onix"), onix},
                       {QStringLiteral("hanmoto"), QJsonObject{{QStringLiteral("datemodified"),
                                                                QStringLiteral("2024-03-01 10:00:00")}}},
                       {QStringLiteral("summary"), summary}};
}

QString IsbnOfForm(const std::string& body)
{
    const QUrlQuery form(QString::fromUtf8(QByteArray::fromStdString(body)).replace(u'+', u' '));
    return form.queryItemValue(QStringLiteral("isbn"), QUrl::FullyDecoded);
}

} // namespace

QString FakeIsbn13(const QString& isbn)
{
    QString digits;
    for (const QChar c : isbn) {
        if (c.isDigit() || c == u'x' || c == u'X')
            digits += c.toUpper();
    }
    if (digits.size() == 13)
        return digits;
    if (digits.size() != 10)
        return QString();
    QString body = QStringLiteral("978") + digits.left(9);
    int sum = 0;
    for (int i = 0; i < 12; ++i) {
        if (!body[i].isDigit())
            return QString();
        sum += body[i].digitValue() * (i % 2 == 0 ? 1 : 3);
    }
    return body + QChar(u'0' + (10 - sum % 10) % 10);
}

FakeOpenBd::FakeOpenBd()
{
    server_.server().Get("/v1/get", [this](const httplib::Request& request, httplib::Response& response) {
        Lookup(QStringLiteral("GET"), QString::fromStdString(request.get_param_value("isbn")), response);
    });
    // A reader of its own: the HTTP library refuses forms over 8 KB otherwise.
    server_.server().Post("/v1/get", [this](const httplib::Request&, httplib::Response& response,
                                            const httplib::ContentReader& read) {
        std::string body;
        read([&](const char* data, std::size_t length) {
            body.append(data, length);
            return true;
        });
        Lookup(QStringLiteral("POST"), IsbnOfForm(body), response);
    });
    server_.Start();
}

FakeOpenBd::~FakeOpenBd()
{
    control_.Stop();
    server_.Stop();
}

void FakeOpenBd::AddBook(const FakeOpenBdBook& book)
{
    const QString isbn13 = FakeIsbn13(book.isbn);
    const QByteArray record = QJsonDocument(Record(book, isbn13)).toJson(QJsonDocument::Compact);
    std::lock_guard lock(mutex_);
    records_.insert(isbn13, record);
}

void FakeOpenBd::AddBooks(const QList<FakeOpenBdBook>& books)
{
    for (const FakeOpenBdBook& book : books)
        AddBook(book);
}

QList<FakeOpenBdRequest> FakeOpenBd::Requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

void FakeOpenBd::ClearRequests()
{
    std::lock_guard lock(mutex_);
    requests_.clear();
}

int FakeOpenBd::RequestCount() const
{
    std::lock_guard lock(mutex_);
    return int(requests_.size());
}

QList<FakeOpenBdBook> FakeOpenBd::SampleBooks()
{
    return {
        {QStringLiteral("4101010137"), QStringLiteral("こころ"), QStringLiteral("432"), QStringLiteral("19520218")},
        {QStringLiteral("4003101014"), QStringLiteral("坊っちゃん"), QString(), QStringLiteral("1989-05")},
        {QStringLiteral("9784873115658"), QStringLiteral("Tom & Jerry, \"Special\""), QStringLiteral("2800"),
         QStringLiteral("201203")},
    };
}

void FakeOpenBd::Lookup(const QString& method, const QString& isbnValue, httplib::Response& response)
{
    const QStringList isbns = isbnValue.split(u',');
    const auto arrived = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    const qsizetype index = requests_.size();
    requests_.append({method, isbns, 0});
    lock.unlock();
    const FakeAnswerControl::TPlan plan = control_.Wait();
    lock.lock();
    int status = plan.status;
    QByteArray body = plan.body;
    if (status == 0 && isbns.size() > (method == u"GET" ? kMaxGetIsbns : kMaxPostIsbns))
        status = 400;
    if (status == 0 && body.isNull())
        body = AnswerFor(isbns);
    requests_[index].status = status == 0 ? 200 : status;
    requests_[index].held =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - arrived);
    lock.unlock();
    if (status != 0) {
        response.status = status;
        response.set_content("{\"error\":\"unavailable\"}", "application/json");
        return;
    }
    response.set_content(body.constData(), std::size_t(body.size()), "application/json; charset=utf-8");
}

QByteArray FakeOpenBd::AnswerFor(const QStringList& isbns) const
{
    QByteArray answer("[");
    for (qsizetype i = 0; i < isbns.size(); ++i) {
        if (i > 0)
            answer += ",\n";
        const QString isbn13 = FakeIsbn13(isbns[i]);
        const auto found = records_.constFind(isbn13);
        answer += isbn13.isEmpty() || found == records_.cend() ? QByteArray("null") : *found;
    }
    return answer + "]";
}
