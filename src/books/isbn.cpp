#include "books/isbn.h"

#include "util/integer_text.h"

QString NormalizeIsbn(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= u'0' && u <= u'9') || u == u'x' || u == u'X')
            result += c;
    }
    return result;
}

QString Isbn13ToIsbn10(const QString& isbn)
{
    if (isbn.size() < 13)
        return isbn;
    const QString body = isbn.mid(3, 9);
    int sum = 0;
    for (int i = 0; i < 9; ++i) {
        // Each character goes through the integer conversion, so a stray x or
        // X raises its error here.
        sum += (10 - i) * StrToInt(QStringView(body).mid(i, 1));
    }
    const int check = 11 - sum % 11;
    QChar checkChar;
    if (check == 10)
        checkChar = u'X';
    else if (check == 11)
        checkChar = u'0';
    else
        checkChar = QChar(u'0' + check);
    return body + checkChar;
}
