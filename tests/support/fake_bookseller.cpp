#include "support/fake_bookseller.h"

#include "amazon/hmac.h"

#include <QDateTime>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>

namespace {

const QString kServiceNamespace =
    QStringLiteral("http://webservices.amazon.com/AWSECommerceService/2009-01-06");
const QString kErrorNamespace = QStringLiteral("http://ecs.amazonaws.com/doc/2009-01-06/");
constexpr int kMaxItemIds = 10;
constexpr qint64 kTimestampToleranceSeconds = 15 * 60;

// The service's own percent-decoding: "%XX" is a byte, everything else
// stands for itself; the bytes are UTF-8.
QString PercentDecode(const std::string& text)
{
    QByteArray bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1]))
            && std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            bytes.append(static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else {
            bytes.append(text[i]);
        }
    }
    return QString::fromUtf8(bytes);
}

// RFC 3986 encoding as the service canonicalises: unreserved characters
// (letters, digits, "-", ".", "_", "~") stay, every other UTF-8 byte is
// "%XX" in upper case.
QByteArray ServiceEncode(const QString& text)
{
    QByteArray out;
    for (const char c : text.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || byte == '-' || byte == '.' || byte == '_' || byte == '~')
            out.append(c);
        else
            out.append('%').append(QByteArray::number(byte, 16).toUpper().rightJustified(2, '0'));
    }
    return out;
}

QByteArray ErrorDocument(const QString& code, const QString& message)
{
    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("ItemLookupErrorResponse"));
    xml.writeDefaultNamespace(kErrorNamespace);
    xml.writeStartElement(QStringLiteral("Error"));
    xml.writeTextElement(QStringLiteral("Code"), code);
    xml.writeTextElement(QStringLiteral("Message"), message);
    xml.writeEndElement();
    xml.writeTextElement(QStringLiteral("RequestID"), QStringLiteral("fake-request"));
    xml.writeEndElement();
    xml.writeEndDocument();
    return body;
}

void WriteItem(QXmlStreamWriter& xml, const FakeBook& book)
{
    xml.writeStartElement(QStringLiteral("Item"));
    xml.writeTextElement(QStringLiteral("ASIN"), book.isbn);
    xml.writeTextElement(QStringLiteral("DetailPageURL"),
                         book.detailPageUrl.isEmpty()
                             ? QStringLiteral("http://www.amazon.co.jp/dp/%1?tag=tomoriza-22&linkCode=xm2")
                                   .arg(book.isbn)
                             : book.detailPageUrl);
    if (!book.salesRank.isEmpty())
        xml.writeTextElement(QStringLiteral("SalesRank"), book.salesRank);
    xml.writeStartElement(QStringLiteral("SmallImage"));
    xml.writeTextElement(QStringLiteral("URL"), QStringLiteral("http://ecx.images-amazon.com/%1.jpg").arg(book.isbn));
    xml.writeStartElement(QStringLiteral("Height"));
    xml.writeAttribute(QStringLiteral("Units"), QStringLiteral("pixels"));
    xml.writeCharacters(QStringLiteral("75"));
    xml.writeEndElement();
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("ItemAttributes"));
    xml.writeTextElement(QStringLiteral("Binding"), QStringLiteral("文庫"));
    xml.writeTextElement(QStringLiteral("ISBN"), book.isbn);
    xml.writeStartElement(QStringLiteral("Languages"));
    xml.writeStartElement(QStringLiteral("Language"));
    xml.writeTextElement(QStringLiteral("Name"), QStringLiteral("Japanese"));
    xml.writeEndElement();
    xml.writeEndElement();
    if (!book.amount.isEmpty()) {
        xml.writeStartElement(QStringLiteral("ListPrice"));
        xml.writeTextElement(QStringLiteral("Amount"), book.amount);
        xml.writeTextElement(QStringLiteral("CurrencyCode"), QStringLiteral("JPY"));
        xml.writeTextElement(QStringLiteral("FormattedPrice"), QStringLiteral("￥ ") + book.amount);
        xml.writeEndElement();
    }
    if (!book.publicationDate.isEmpty())
        xml.writeTextElement(QStringLiteral("PublicationDate"), book.publicationDate);
    xml.writeTextElement(QStringLiteral("Title"), book.title);
    xml.writeEndElement(); // ItemAttributes
    xml.writeEndElement(); // Item
}

} // namespace

FakeBookseller::FakeBookseller(QString accessKeyId, QString secretAccessKey)
    : accessKeyId_(std::move(accessKeyId)), secretAccessKey_(std::move(secretAccessKey))
{
    server_.server().Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        Handle(request, response);
    });
}

FakeBookseller::~FakeBookseller() { Stop(); }

void FakeBookseller::Start() { server_.Start(); }

void FakeBookseller::Stop()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    server_.Stop();
}

void FakeBookseller::AddBook(const FakeBook& book)
{
    std::lock_guard lock(mutex_);
    books_.insert(book.isbn, book);
}

void FakeBookseller::AddBooks(const QList<FakeBook>& books)
{
    for (const FakeBook& book : books)
        AddBook(book);
}

void FakeBookseller::FailFirstAttempts(int count, int status)
{
    std::lock_guard lock(mutex_);
    failuresLeft_ = count;
    failureStatus_ = status;
}

void FakeBookseller::SetAnswerNotXml(bool notXml)
{
    std::lock_guard lock(mutex_);
    notXml_ = notXml;
}

void FakeBookseller::SetAnswerBody(const QByteArray& body)
{
    std::lock_guard lock(mutex_);
    fixedBody_ = body;
}

void FakeBookseller::SetAnswerDelay(std::chrono::milliseconds delay)
{
    std::lock_guard lock(mutex_);
    delay_ = delay;
}

QList<FakeBooksellerRequest> FakeBookseller::Requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

int FakeBookseller::RequestCount() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(requests_.size());
}

void FakeBookseller::ClearRequests()
{
    std::lock_guard lock(mutex_);
    requests_.clear();
}

QList<FakeBook> FakeBookseller::SampleBooks()
{
    return {
        {QStringLiteral("4101010137"), QStringLiteral("こころ (新潮文庫)"), QStringLiteral("432"),
         QStringLiteral("1952-02-18"), QStringLiteral("1234"), QString()},
        {QStringLiteral("4003101014"), QStringLiteral("坊っちゃん (岩波文庫)"), QStringLiteral("518"),
         QStringLiteral("1989-05-16"), QStringLiteral("56789"), QString()},
        {QStringLiteral("4061313592"), QStringLiteral("ﾗﾝｷﾝｸﾞ～全角と半角の本"), QStringLiteral("1800"),
         QStringLiteral("2003-10"), QStringLiteral("7"), QString()},
        {QStringLiteral("4873115655"), QStringLiteral("Tom & Jerry <Special Edition>"), QString(),
         QStringLiteral("2012"), QString(), QStringLiteral("http://www.amazon.co.jp/gp/product/4873115655")},
        {QStringLiteral("4000000020"), QStringLiteral("The C++ Programming Language"),
         QStringLiteral("9720"), QStringLiteral("2015-06-22"), QStringLiteral("45000"), QString()},
    };
}

QString FakeBookseller::ExpectedSignature(const QMap<QString, QString>& parameters,
                                          const QString& host, const QString& secretAccessKey)
{
    // Pairs sorted by the byte order of their encoded names.
    QList<std::pair<QByteArray, QByteArray>> pairs;
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
        if (it.key() != u"Signature")
            pairs.append({ServiceEncode(it.key()), ServiceEncode(it.value())});
    }
    std::sort(pairs.begin(), pairs.end());
    QByteArray query;
    for (const auto& [name, value] : pairs) {
        if (!query.isEmpty())
            query.append('&');
        query.append(name).append('=').append(value);
    }
    const QByteArray stringToSign =
        "GET\n" + host.toLower().toUtf8() + "\n/onca/xml\n" + query;
    return QString::fromLatin1(HmacSha256Base64(secretAccessKey.toUtf8(), stringToSign));
}

void FakeBookseller::Wait(std::chrono::milliseconds delay)
{
    std::unique_lock lock(mutex_);
    stopped_.wait_for(lock, delay, [this] { return stopping_; });
}

void FakeBookseller::Handle(const httplib::Request& request, httplib::Response& response)
{
    FakeBooksellerRequest record;
    record.target = QString::fromStdString(request.target);
    record.host = QString::fromStdString(request.get_header_value("Host"));
    bool duplicateParameter = false;
    const std::size_t queryStart = request.target.find('?');
    if (queryStart != std::string::npos) {
        const std::string query = request.target.substr(queryStart + 1);
        std::size_t at = 0;
        while (at <= query.size()) {
            std::size_t end = query.find('&', at);
            if (end == std::string::npos)
                end = query.size();
            const std::string pair = query.substr(at, end - at);
            at = end + 1;
            if (pair.empty())
                continue;
            const std::size_t equals = pair.find('=');
            const QString name = PercentDecode(pair.substr(0, equals));
            const QString value =
                equals == std::string::npos ? QString() : PercentDecode(pair.substr(equals + 1));
            duplicateParameter |= record.parameters.contains(name);
            record.parameters.insert(name, value);
        }
    }
    const QString itemIdValue = record.parameters.value(QStringLiteral("ItemId"));
    if (!itemIdValue.isEmpty())
        record.itemIds = itemIdValue.split(u',');

    qsizetype index = 0;
    std::chrono::milliseconds delay{0};
    {
        std::lock_guard lock(mutex_);
        index = requests_.size();
        requests_.append(record);
        delay = delay_;
    }
    if (delay.count() > 0)
        Wait(delay);

    auto answer = [&](int status, const QByteArray& body, const char* type) {
        response.status = status;
        response.set_content(body.constData(), static_cast<std::size_t>(body.size()), type);
        std::lock_guard lock(mutex_);
        if (index < requests_.size())
            requests_[index].status = status;
    };
    auto error = [&](int status, const QString& code, const QString& message) {
        answer(status, ErrorDocument(code, message), "text/xml;charset=UTF-8");
    };

    bool failNow = false;
    int failureStatus = 0;
    bool notXml = false;
    QByteArray fixedBody;
    QMap<QString, FakeBook> books;
    {
        std::lock_guard lock(mutex_);
        if (failuresLeft_ > 0) {
            --failuresLeft_;
            failNow = true;
            failureStatus = failureStatus_;
        }
        notXml = notXml_;
        fixedBody = fixedBody_;
        books = books_;
    }

    if (failNow)
        return error(failureStatus, QStringLiteral("ServiceUnavailable"),
                     QStringLiteral("The service is busy; try again later."));
    if (request.path != "/onca/xml")
        return error(404, QStringLiteral("NotFound"), QStringLiteral("No such resource."));
    if (duplicateParameter)
        return error(400, QStringLiteral("InvalidParameterValue"),
                     QStringLiteral("A parameter was given more than once."));
    static const QStringList required{
        QStringLiteral("AWSAccessKeyId"), QStringLiteral("AssociateTag"), QStringLiteral("ItemId"),
        QStringLiteral("Operation"),      QStringLiteral("ResponseGroup"), QStringLiteral("Service"),
        QStringLiteral("Signature"),      QStringLiteral("Timestamp"),     QStringLiteral("Version"),
    };
    for (const QString& name : required) {
        if (!record.parameters.contains(name))
            return error(400, QStringLiteral("MissingParameter"),
                         QStringLiteral("The request must contain the parameter %1.").arg(name));
    }
    if (record.parameters.value(QStringLiteral("AWSAccessKeyId")) != accessKeyId_)
        return error(403, QStringLiteral("InvalidClientTokenId"),
                     QStringLiteral("The AWS Access Key Id you provided does not exist in our records."));
    if (record.parameters.value(QStringLiteral("Signature"))
        != ExpectedSignature(record.parameters, record.host, secretAccessKey_)) {
        return error(403, QStringLiteral("SignatureDoesNotMatch"),
                     QStringLiteral("The request signature we calculated does not match the "
                                    "signature you provided."));
    }
    const QDateTime stamped =
        QDateTime::fromString(record.parameters.value(QStringLiteral("Timestamp")), Qt::ISODate);
    if (!stamped.isValid()
        || std::abs(stamped.secsTo(QDateTime::currentDateTimeUtc())) > kTimestampToleranceSeconds) {
        return error(400, QStringLiteral("RequestExpired"),
                     QStringLiteral("Request has expired. Timestamp date is %1.")
                         .arg(record.parameters.value(QStringLiteral("Timestamp"))));
    }

    if (notXml)
        return answer(200, "<html><body><h1>Temporarily unavailable</h1>", "text/html");
    if (!fixedBody.isNull())
        return answer(200, fixedBody, "text/xml;charset=UTF-8");

    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("ItemLookupResponse"));
    xml.writeDefaultNamespace(kServiceNamespace);
    xml.writeStartElement(QStringLiteral("OperationRequest"));
    xml.writeTextElement(QStringLiteral("RequestId"), QStringLiteral("fake-%1").arg(index));
    xml.writeTextElement(QStringLiteral("RequestProcessingTime"), QStringLiteral("0.0123"));
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("Items"));
    xml.writeStartElement(QStringLiteral("Request"));
    const bool tooMany = record.itemIds.size() > kMaxItemIds;
    xml.writeTextElement(QStringLiteral("IsValid"), tooMany ? QStringLiteral("False") : QStringLiteral("True"));
    xml.writeStartElement(QStringLiteral("ItemLookupRequest"));
    xml.writeTextElement(QStringLiteral("ItemId"), itemIdValue);
    xml.writeTextElement(QStringLiteral("ResponseGroup"), QStringLiteral("Large"));
    xml.writeEndElement();
    QStringList unknown;
    QStringList answered;
    for (const QString& id : std::as_const(record.itemIds)) {
        if (!books.contains(id))
            unknown.append(id);
        else if (!answered.contains(id))
            answered.append(id);
    }
    if (tooMany || !unknown.isEmpty()) {
        xml.writeStartElement(QStringLiteral("Errors"));
        const QStringList& wrong = tooMany ? record.itemIds : unknown;
        for (const QString& id : wrong) {
            xml.writeStartElement(QStringLiteral("Error"));
            xml.writeTextElement(QStringLiteral("Code"), QStringLiteral("AWS.InvalidParameterValue"));
            xml.writeTextElement(QStringLiteral("Message"),
                                 QStringLiteral("%1 is not a valid value for ItemId.").arg(id));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement(); // Request
    if (!tooMany) {
        for (const QString& id : std::as_const(answered))
            WriteItem(xml, books.value(id));
    }
    xml.writeEndElement(); // Items
    xml.writeEndElement(); // ItemLookupResponse
    xml.writeEndDocument();
    answer(200, body, "text/xml;charset=UTF-8");
}
