#include "util/mecs_utils.h"

#include "util/jis_x0208_fixup.h"

QString AnsiToUTF16(QByteArrayView bytes, TCodePage codePage)
{
    if (codePage == 0)
        codePage = kCodePageAnsi;
    return DecodeCodePage(bytes, codePage);
}

QString MecsStretchElement(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes);
}

QString MecsMappingFix_CP932ToUnicode(const QString& text)
{
    return text;
}

QString MecsMappingFix_JISX0208ToUnicode(const QString& text)
{
    QString fixed = text;
    for (QChar& c : fixed)
        c = QChar(JisX0208AsCp932(c.unicode()));
    return fixed;
}
