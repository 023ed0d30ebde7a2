#include "bookdata/price_text.h"
#include "bookdata/publication_date.h"

#include <gtest/gtest.h>

#include <utility>

TEST(PriceDigits, KeepsTheYenAmountOfEveryFormTheSourcesWrite)
{
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"432", u"432"},
        {u"3200円", u"3200"},
        {u"3,200円", u"3200"},
        {u"3200円+税", u"3200"},
        {u"３，２００円", u"3200"},
        {u"￥3,200", u"3200"},
        {u"定価 1,000円", u"1000"},
        // The number that is marked as yen, not the first one.
        {u"2冊セット 5000円", u"5000"},
        {u"0432", u"432"},
        // No number, no yen amount, or nothing that could be a price.
        {u"", u""},
        {u"非売品", u""},
        {u"価格不明", u""},
        {u"$12.95", u""},
        {u"1,", u"1"},
        {u"1234567890円", u""},
    };
    for (const auto& [text, digits] : cases)
        EXPECT_EQ(PriceDigits(QString::fromUtf16(text)), QString::fromUtf16(digits)) << QString::fromUtf16(text).toStdString();
}

TEST(PublicationDate, TakesTheBooksellersFormFromEveryFormTheSourcesWrite)
{
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"19520218", u"1952-02-18"},
        {u"195202", u"1952-02"},
        {u"1989-05", u"1989-05"},
        {u"1989-05-16", u"1989-05-16"},
        {u"2012", u"2012"},
        {u"1989.5", u"1989-05"},
        {u"2018.7.3", u"2018-07-03"},
        {u"2018/07/01", u"2018-07-01"},
        {u"2018年7月3日", u"2018-07-03"},
        {u"[2018]", u"2018"},
        {u"c2010", u"2010"},
        {u"2018.7-", u"2018-07"},
        // A month or day out of range is left out.
        {u"2018.13", u"2018"},
        {u"20181240", u"2018-12"},
        // No four-digit year.
        {u"", u""},
        {u"平成30", u""},
        {u"不明", u""},
        {u"201", u""},
    };
    for (const auto& [text, date] : cases)
        EXPECT_EQ(NormalizePublicationDate(QString::fromUtf16(text)), QString::fromUtf16(date))
            << QString::fromUtf16(text).toStdString();
}
