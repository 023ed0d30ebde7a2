#include "util/url_encoding.h"

namespace {

bool IsUnreserved(unsigned char byte)
{
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')
        || (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_';
}

} // namespace

QByteArray HTTPEncode(QByteArrayView bytes)
{
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    QByteArray encoded;
    encoded.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0)
            break;
        if (IsUnreserved(byte)) {
            encoded.append(c);
        } else {
            encoded.append('%');
            encoded.append(kHexDigits[byte >> 4]);
            encoded.append(kHexDigits[byte & 0x0F]);
        }
    }
    return encoded;
}

QString UrlEncode(QStringView text, TCodePage codePage)
{
    if (text.isEmpty())
        return QString();
    const QByteArray bytes = codePage == kCodePageUtf8 ? text.toUtf8()
                                                       : EncodeCodePage(text, codePage);
    return QString::fromLatin1(HTTPEncode(bytes));
}
