#pragma once

#include <QString>
#include <QStringList>

// Comma text: a list of texts written as one text. Items are separated by
// ","; an item holding a blank, a control character, a comma or a double
// quote is enclosed in double quotes with inner quotes doubled. A list of one
// empty item is written as "" so that it reads back as itself.
QString ToCommaText(const QStringList& items);

// Splits a comma text at commas and at blanks outside double quotes,
// unquoting quoted items. A comma at the end stands for a last empty item.
// Reading stops at a NUL character.
QStringList FromCommaText(QStringView text);
