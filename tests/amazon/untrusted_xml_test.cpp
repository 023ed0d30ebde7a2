#include "amazon/untrusted_xml.h"
#include "support/loopback_server.h"
#include "util/error.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

QString Nested(int depth)
{
    return QStringLiteral("<a>").repeated(depth) + QStringLiteral("</a>").repeated(depth);
}

QString WithAttributes(int count, const QString& value)
{
    QString text = QStringLiteral("<r");
    for (int i = 0; i < count; ++i)
        text += QStringLiteral(" a%1=\"%2\"").arg(i).arg(value);
    return text + QStringLiteral("/>");
}

bool RefusedAsDocumentType(const QString& text)
{
    try {
        ParseUntrustedXml(text);
    } catch (const XmlError& error) {
        return error.message().contains(u"document type");
    }
    return false;
}

} // namespace

TEST(UntrustedXml, RefusesEveryDocumentTypeDeclaration)
{
    QString laughs = QStringLiteral("<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol0 \"lol\">");
    for (int i = 1; i <= 9; ++i)
        laughs += QStringLiteral("<!ENTITY lol%1 \"%2\">")
                      .arg(i)
                      .arg(QStringLiteral("&lol%1;").arg(i - 1).repeated(10));
    laughs += QStringLiteral("]><lolz>&lol9;</lolz>");
    EXPECT_TRUE(RefusedAsDocumentType(laughs));

    EXPECT_TRUE(RefusedAsDocumentType(QStringLiteral(
        "<!DOCTYPE a [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><a>&e;</a>")));
    // After a comment and a processing instruction, in lower case, bare.
    EXPECT_TRUE(RefusedAsDocumentType(
        QStringLiteral("<!-- x --><?pi y?>\n<!doctype a><a/>")));
    EXPECT_TRUE(RefusedAsDocumentType(QStringLiteral("<!DOCTYPE a><a/>")));
    // A declaration cannot hide in a document's content either.
    EXPECT_THROW(ParseUntrustedXml(QStringLiteral("<a><!ENTITY e \"x\"></a>")), XmlError);

    // The same words in a comment or CDATA section are harmless text.
    const QDomDocument harmless = ParseUntrustedXml(
        QStringLiteral("<!-- <!DOCTYPE a> --><a><![CDATA[<!DOCTYPE a [ ]>]]></a>"));
    EXPECT_EQ(harmless.documentElement().text(), QStringLiteral("<!DOCTYPE a [ ]>"));
}

TEST(UntrustedXml, NeverReachesOutForAnExternalEntity)
{
    LoopbackServer outside;
    std::atomic<int> hits{0};
    outside.server().Get(".*", [&](const httplib::Request&, httplib::Response& res) {
        ++hits;
        res.set_content("<!ENTITY leak \"leaked\">", "application/xml-dtd");
    });
    outside.Start();
    const QString dtd = outside.baseUrl() + QStringLiteral("/evil.dtd");

    EXPECT_TRUE(RefusedAsDocumentType(
        QStringLiteral("<!DOCTYPE a SYSTEM \"%1\"><a>&leak;</a>").arg(dtd)));
    EXPECT_TRUE(RefusedAsDocumentType(
        QStringLiteral("<!DOCTYPE a [<!ENTITY % p SYSTEM \"%1\"> %p;]><a>&leak;</a>").arg(dtd)));
    EXPECT_TRUE(RefusedAsDocumentType(
        QStringLiteral("<!DOCTYPE a [<!ENTITY e SYSTEM \"%1\">]><a>&e;</a>").arg(dtd)));
    EXPECT_EQ(hits.load(), 0);
}

TEST(UntrustedXml, RefusesDocumentsBeyondTheLimits)
{
    // Each of these would keep the document parser busy for minutes.
    EXPECT_NO_THROW(ParseUntrustedXml(Nested(TUntrustedXmlLimits::kMaxDepth)));
    EXPECT_THROW(ParseUntrustedXml(Nested(TUntrustedXmlLimits::kMaxDepth + 1)), XmlError);
    EXPECT_THROW(ParseUntrustedXml(Nested(200'000)), XmlError);

    const int maxAttributes = TUntrustedXmlLimits::kMaxAttributesPerElement;
    EXPECT_NO_THROW(ParseUntrustedXml(WithAttributes(maxAttributes, QStringLiteral("a=b"))));
    EXPECT_THROW(ParseUntrustedXml(WithAttributes(maxAttributes + 1, QString())), XmlError);
    // A ">" inside a quoted value does not end the count.
    EXPECT_THROW(ParseUntrustedXml(WithAttributes(maxAttributes + 1, QStringLiteral(">"))),
                 XmlError);
    EXPECT_THROW(ParseUntrustedXml(WithAttributes(100'000, QString())), XmlError);

    const QString siblings = QStringLiteral("<r>")
        + QStringLiteral("<a/>").repeated(TUntrustedXmlLimits::kMaxElements) + QStringLiteral("</r>");
    EXPECT_THROW(ParseUntrustedXml(siblings), XmlError);

    const QString longText = QStringLiteral("<r>") + QString(TUntrustedXmlLimits::kMaxLength, u'x')
        + QStringLiteral("</r>");
    EXPECT_THROW(ParseUntrustedXml(longText), XmlError);
}

TEST(UntrustedXml, RefusesDocumentsOfTooManyNodesOrTooMuchText)
{
    // Megabytes of tiny nodes would cost hundreds of megabytes as a document.
    const int maxNodes = TUntrustedXmlLimits::kMaxNodes;
    const auto inRoot = [](const QString& content) {
        return QStringLiteral("<r>") + content + QStringLiteral("</r>");
    };
    EXPECT_NO_THROW(ParseUntrustedXml(inRoot(QStringLiteral("<!---->").repeated(maxNodes - 1))));
    EXPECT_THROW(ParseUntrustedXml(inRoot(QStringLiteral("<!---->").repeated(maxNodes))), XmlError);
    EXPECT_THROW(ParseUntrustedXml(inRoot(QStringLiteral("x<?p?>").repeated(maxNodes / 2))), XmlError);
    // Attributes are nodes too.
    const int elements = maxNodes / TUntrustedXmlLimits::kMaxAttributesPerElement;
    EXPECT_THROW(ParseUntrustedXml(inRoot(
                     WithAttributes(TUntrustedXmlLimits::kMaxAttributesPerElement, QString())
                         .repeated(elements))),
                 XmlError);

    const qsizetype maxText = TUntrustedXmlLimits::kMaxTextLength;
    EXPECT_NO_THROW(ParseUntrustedXml(inRoot(QString(maxText, u'x'))));
    EXPECT_THROW(ParseUntrustedXml(inRoot(QString(maxText + 1, u'x'))), XmlError);
    // Counted over every kind of text together.
    const QString half(maxText / 2, u'x');
    EXPECT_THROW(ParseUntrustedXml(inRoot(half + QStringLiteral("<!--") + half + QStringLiteral("-->")
                                          + QStringLiteral("<a b=\"xx\"/>"))),
                 XmlError);
}
