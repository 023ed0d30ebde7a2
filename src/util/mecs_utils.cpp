#include "util/mecs_utils.h"

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
    for (QChar& c : fixed) {
        switch (c.unicode()) {
        case 0x00A2: c = QChar(0xFFE0); break; // cent sign
        case 0x00A3: c = QChar(0xFFE1); break; // pound sign
        case 0x00AC: c = QChar(0xFFE2); break; // not sign
        case 0x2014: c = QChar(0x2015); break; // em dash
        case 0x2016: c = QChar(0x2225); break; // double vertical line
        case 0x203E: c = QChar(0xFFE3); break; // overline
        case 0x2212: c = QChar(0xFF0D); break; // minus sign
        case 0x301C: c = QChar(0xFF5E); break; // wave dash
        default: break;
        }
    }
    return fixed;
}
