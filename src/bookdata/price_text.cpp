#include "bookdata/price_text.h"

#include <optional>
#include <vector>

namespace {

// No book costs a billion yen; longer runs are catalogue numbers or noise.
constexpr qsizetype kMaxPriceDigits = 9;

std::optional<int> DigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'０' && u <= u'９')
        return u - u'０';
    return std::nullopt;
}

bool IsGroupComma(QChar c) { return c == u',' || c == u'，'; }
bool IsDecimalPoint(QChar c) { return c == u'.' || c == u'．'; }

struct TNumber
{
    QString digits;
    bool markedAsYen = false;
};

std::vector<TNumber> NumbersIn(QStringView text)
{
    std::vector<TNumber> numbers;
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        if (!DigitValue(text[i])) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        QString digits;
        // Digits, with group commas only between digits ("3,200", not "3,").
        while (i < size) {
            if (const auto digit = DigitValue(text[i])) {
                digits += QChar(u'0' + *digit);
                ++i;
            } else if (IsGroupComma(text[i]) && i + 1 < size && DigitValue(text[i + 1])) {
                ++i;
            } else {
                break;
            }
        }
        const bool decimal = (i + 1 < size && IsDecimalPoint(text[i]) && DigitValue(text[i + 1]))
                             || (start >= 2 && IsDecimalPoint(text[start - 1]) && DigitValue(text[start - 2]));
        qsizetype after = i;
        while (after < size && text[after].isSpace())
            ++after;
        qsizetype before = start;
        while (before > 0 && text[before - 1].isSpace())
            --before;
        const bool yen = (after < size && text[after] == u'円')
                         || (before > 0 && (text[before - 1] == u'￥' || text[before - 1] == u'¥'));
        if (!decimal)
            numbers.push_back({digits, yen});
    }
    return numbers;
}

} // namespace

QString PriceDigits(QStringView text)
{
    const std::vector<TNumber> numbers = NumbersIn(text);
    if (numbers.empty())
        return QString();
    const TNumber* chosen = &numbers.front();
    for (const TNumber& number : numbers) {
        if (number.markedAsYen) {
            chosen = &number;
            break;
        }
    }
    QString digits = chosen->digits;
    while (digits.size() > 1 && digits.startsWith(u'0'))
        digits.remove(0, 1);
    return digits.size() <= kMaxPriceDigits ? digits : QString();
}
