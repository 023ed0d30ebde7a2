#include "bookdata/publication_date.h"

#include <vector>

namespace {

struct TDigitRun
{
    qsizetype start;
    qsizetype end; // one past the last digit
    QString digits;
};

int DigitOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'０' && u <= u'９')
        return u - u'０';
    return -1;
}

std::vector<TDigitRun> DigitRuns(QStringView text)
{
    std::vector<TDigitRun> runs;
    for (qsizetype i = 0; i < text.size();) {
        if (DigitOf(text[i]) < 0) {
            ++i;
            continue;
        }
        TDigitRun run{i, i, QString()};
        while (run.end < text.size() && DigitOf(text[run.end]) >= 0)
            run.digits += QChar(u'0' + DigitOf(text[run.end++]));
        i = run.end;
        runs.push_back(run);
    }
    return runs;
}

// Whether the runs stand one separator apart, as in "1989.5" or "7月3".
bool Follows(QStringView text, const TDigitRun& earlier, const TDigitRun& later, QStringView separators)
{
    return later.start == earlier.end + 1 && separators.contains(text[earlier.end]);
}

QString Format(const QString& year, int month, int day)
{
    QString date = year;
    if (month < 1 || month > 12)
        return date;
    date += QStringLiteral("-%1").arg(month, 2, 10, QChar(u'0'));
    if (day < 1 || day > 31)
        return date;
    return date + QStringLiteral("-%1").arg(day, 2, 10, QChar(u'0'));
}

} // namespace

QString NormalizePublicationDate(QStringView text)
{
    const std::vector<TDigitRun> runs = DigitRuns(text);
    if (runs.empty())
        return QString();
    const QString& first = runs[0].digits;
    switch (first.size()) {
    case 8: return Format(first.left(4), first.mid(4, 2).toInt(), first.mid(6, 2).toInt());
    case 6: return Format(first.left(4), first.mid(4, 2).toInt(), 0);
    case 4: break;
    default: return QString();
    }
    int month = 0;
    int day = 0;
    if (runs.size() > 1 && runs[1].digits.size() <= 2 && Follows(text, runs[0], runs[1], u"-./年")) {
        month = runs[1].digits.toInt();
        if (runs.size() > 2 && runs[2].digits.size() <= 2 && Follows(text, runs[1], runs[2], u"-./月"))
            day = runs[2].digits.toInt();
    }
    return Format(first, month, day);
}
