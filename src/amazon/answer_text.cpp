#include "amazon/answer_text.h"

#include "util/string_utility.h"

#include <QByteArray>

#include <algorithm>

namespace {

// A declaration is short; one longer than this is not read.
constexpr qsizetype kLongestDeclaration = 256;

bool IsXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The value of encoding="..." (or '...') inside a declaration, empty if none.
QByteArray EncodingName(QByteArrayView declaration)
{
    const qsizetype key = declaration.indexOf("encoding");
    if (key < 0)
        return QByteArray();
    qsizetype i = key + qsizetype(sizeof "encoding" - 1);
    while (i < declaration.size() && IsXmlSpace(declaration[i]))
        ++i;
    if (i >= declaration.size() || declaration[i] != '=')
        return QByteArray();
    ++i;
    while (i < declaration.size() && IsXmlSpace(declaration[i]))
        ++i;
    if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\''))
        return QByteArray();
    const char quote = declaration[i];
    const qsizetype end = declaration.indexOf(quote, i + 1);
    if (end < 0)
        return QByteArray();
    return declaration.sliced(i + 1, end - i - 1).toByteArray().toLower();
}

TCodePage CodePageOfName(const QByteArray& name)
{
    for (const char* sjis : {"shift_jis", "shift-jis", "sjis", "x-sjis", "windows-31j", "cp932",
                             "ms_kanji", "csshiftjis"})
        if (name == sjis)
            return kCodePageShiftJis;
    for (const char* euc : {"euc-jp", "eucjp", "x-euc-jp", "cseucpkdfmtjapanese"})
        if (name == euc)
            return kCodePageEucJp;
    if (name == "iso-2022-jp" || name == "csiso2022jp")
        return kCodePageIso2022Jp;
    if (name == "iso-8859-1" || name == "latin1" || name == "l1")
        return kCodePageUnknown;
    return kCodePageUtf8;
}

// The code page an XML document's start declares.
TCodePage DeclaredCodePage(QByteArrayView bytes)
{
    if (bytes.startsWith(QByteArrayView("<\0?\0", 4)))
        return kCodePageUtf16Le;
    if (bytes.startsWith(QByteArrayView("\0<\0?", 4)))
        return kCodePageUtf16Be;
    if (!bytes.startsWith("<?xml") || bytes.size() < 6 || !IsXmlSpace(bytes[5]))
        return kCodePageUtf8;
    const QByteArrayView head = bytes.first(std::min(bytes.size(), kLongestDeclaration));
    const qsizetype end = head.indexOf("?>");
    if (end < 0)
        return kCodePageUtf8;
    return CodePageOfName(EncodingName(head.first(end)));
}

} // namespace

QString DecodeBooksellerAnswer(QByteArrayView bytes)
{
    TCodePage codePage = TStringUtility::DetectCodePage(bytes);
    if (codePage == kCodePageUnknown)
        codePage = DeclaredCodePage(bytes);
    return TStringUtility::ToUnicode(bytes, codePage);
}
