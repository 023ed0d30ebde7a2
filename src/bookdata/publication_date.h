#pragma once

#include <QString>

// A publication date in the form the bookseller gives and the date sort
// compares: YYYY-MM-DD, YYYY-MM or YYYY. Understood are the compact forms
// ("19520218", "195202"), and a year followed by month and day after "-",
// ".", "/" or 年/月 ("1989-05", "1989.5", "2018/7/3", "2018年7月"), also
// with words or brackets around ("[2018]", "c2010"). A month or day out of
// range is left out; a text without a four-digit year gives the empty text.
QString NormalizePublicationDate(QStringView text);
