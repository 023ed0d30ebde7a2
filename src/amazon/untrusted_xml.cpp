#include "amazon/untrusted_xml.h"

#include "util/error.h"

#include <QXmlStreamReader>

namespace {

[[noreturn]] void RefuseDocumentType()
{
    throw XmlError(QStringLiteral("The answer declares a document type, which is not accepted."));
}

[[noreturn]] void RefuseSize(const QString& what)
{
    throw XmlError(QStringLiteral("The answer is too large to be read: %1.").arg(what));
}

// A linear look at the markup before any parser sees it: refuses "<!" other
// than comments and CDATA sections (that is, document type declarations) and
// start tags with more attributes than the limit, which the parser would
// check pairwise.
void ScanMarkup(QStringView text)
{
    const qsizetype size = text.size();
    qsizetype i = 0;
    auto skipPast = [&](QStringView terminator, qsizetype from) {
        const qsizetype end = text.indexOf(terminator, from);
        return end < 0 ? size : end + terminator.size();
    };
    while (i < size) {
        if (text[i] != u'<') {
            ++i;
            continue;
        }
        const QStringView rest = text.mid(i);
        if (rest.startsWith(u"<!--")) {
            i = skipPast(u"-->", i + 4);
        } else if (rest.startsWith(u"<![CDATA[")) {
            i = skipPast(u"]]>", i + 9);
        } else if (rest.startsWith(u"<!")) {
            RefuseDocumentType();
        } else if (rest.startsWith(u"<?")) {
            i = skipPast(u"?>", i + 2);
        } else {
            int attributes = 0;
            char16_t quote = 0;
            for (++i; i < size; ++i) {
                const char16_t c = text[i].unicode();
                if (quote != 0) {
                    if (c == quote)
                        quote = 0;
                } else if (c == u'"' || c == u'\'') {
                    quote = c;
                } else if (c == u'=') {
                    if (++attributes > TUntrustedXmlLimits::kMaxAttributesPerElement)
                        RefuseSize(QStringLiteral("an element with too many attributes"));
                } else if (c == u'>') {
                    break;
                }
            }
            ++i;
        }
    }
}

[[noreturn]] void RefuseMalformed(const QString& error, qint64 line, qint64 column)
{
    throw XmlError(QStringLiteral("The answer is not well-formed XML: %1 (line %2, column %3).")
                       .arg(error)
                       .arg(line)
                       .arg(column));
}

// Counts what the document would hold: nodes and characters.
class TDocumentSize final
{
public:
    void Add(int nodes, qsizetype characters)
    {
        nodes_ += nodes;
        characters_ += characters;
        if (nodes_ > TUntrustedXmlLimits::kMaxNodes)
            RefuseSize(QStringLiteral("too many nodes"));
        if (characters_ > TUntrustedXmlLimits::kMaxTextLength)
            RefuseSize(QStringLiteral("too much text"));
    }

private:
    qint64 nodes_ = 0;
    qsizetype characters_ = 0;
};

qsizetype AttributeCharacters(const QXmlStreamAttributes& attributes)
{
    qsizetype characters = 0;
    for (const QXmlStreamAttribute& attribute : attributes)
        characters += attribute.value().size();
    return characters;
}

// A full pass of the stream reader, which is linear, to hold the nesting,
// the element and node counts and the text within the limits before the
// document is built.
void CheckStructure(const QString& text)
{
    QXmlStreamReader reader(text);
    int depth = 0;
    int elements = 0;
    TDocumentSize size;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            RefuseDocumentType();
        case QXmlStreamReader::StartElement:
            if (++depth > TUntrustedXmlLimits::kMaxDepth)
                RefuseSize(QStringLiteral("elements nested too deeply"));
            if (++elements > TUntrustedXmlLimits::kMaxElements)
                RefuseSize(QStringLiteral("too many elements"));
            size.Add(1 + int(reader.attributes().size()), AttributeCharacters(reader.attributes()));
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::EntityReference:
            size.Add(1, reader.text().size());
            break;
        case QXmlStreamReader::ProcessingInstruction:
            size.Add(1, reader.processingInstructionData().size());
            break;
        default:
            break;
        }
    }
    if (reader.hasError())
        RefuseMalformed(reader.errorString(), reader.lineNumber(), reader.columnNumber());
}

} // namespace

QDomDocument ParseUntrustedXml(const QString& text)
{
    if (text.size() > TUntrustedXmlLimits::kMaxLength)
        RefuseSize(QStringLiteral("%1 characters").arg(text.size()));
    ScanMarkup(text);
    CheckStructure(text);

    QDomDocument document;
    QString error;
    int line = 0;
    int column = 0;
    if (!document.setContent(text, false, &error, &line, &column))
        RefuseMalformed(error, line, column);
    return document;
}
