#include "util/comma_text.h"

namespace {

constexpr char16_t kQuote = u'"';
constexpr char16_t kDelimiter = u',';

bool IsBlank(char16_t c) { return c >= 1 && c <= 0x20; }

bool NeedsQuoting(const QString& item)
{
    for (const QChar c : item) {
        const char16_t u = c.unicode();
        if (u <= 0x20 || u == kQuote || u == kDelimiter)
            return true;
    }
    return false;
}

QString Quoted(const QString& item)
{
    QString result;
    result.reserve(item.size() + 2);
    result += QChar(kQuote);
    for (const QChar c : item) {
        result += c;
        if (c.unicode() == kQuote)
            result += c;
    }
    result += QChar(kQuote);
    return result;
}

} // namespace

QString ToCommaText(const QStringList& items)
{
    if (items.size() == 1 && items.front().isEmpty())
        return QStringLiteral("\"\"");
    QString result;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            result += QChar(kDelimiter);
        result += NeedsQuoting(items[i]) ? Quoted(items[i]) : items[i];
    }
    return result;
}

QStringList FromCommaText(QStringView text)
{
    // Everything from a NUL on is ignored, like the end of the text.
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text = text.left(nul);

    QStringList items;
    qsizetype p = 0;
    const qsizetype n = text.size();
    auto at = [&](qsizetype i) -> char16_t { return i < n ? text[i].unicode() : u'\0'; };

    while (IsBlank(at(p)))
        ++p;
    while (p < n) {
        QString item;
        if (at(p) == kQuote) {
            ++p;
            while (p < n) {
                if (at(p) == kQuote) {
                    if (at(p + 1) == kQuote) {
                        item += QChar(kQuote);
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p];
                ++p;
            }
        } else {
            const qsizetype start = p;
            while (p < n && at(p) > 0x20 && at(p) != kDelimiter)
                ++p;
            item = text.mid(start, p - start).toString();
        }
        items.append(item);
        while (IsBlank(at(p)))
            ++p;
        if (at(p) == kDelimiter) {
            if (p + 1 == n)
                items.append(QString());
            do {
                ++p;
            } while (IsBlank(at(p)));
        }
    }
    return items;
}
