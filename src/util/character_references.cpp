#include "util/character_references.h"

#include <algorithm>
#include <optional>

namespace {

// "&#x10FFFF;" is the longest reference understood; a ";" further away does
// not end one, and the look-ahead stays short whatever the value holds.
constexpr qsizetype kLongestReference = 10;

int DigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// The character of "#65" or "#x41" (the part after the "#"); none for what
// is not a number or names no character. The look-ahead bounds the digits,
// so the value cannot overflow.
std::optional<char32_t> NumericReference(QStringView number)
{
    int base = 10;
    if (number.startsWith(u'x') || number.startsWith(u'X')) {
        base = 16;
        number = number.sliced(1);
    }
    if (number.isEmpty())
        return std::nullopt;
    char32_t code = 0;
    for (const QChar c : number) {
        const int digit = DigitValue(c.unicode());
        if (digit < 0 || digit >= base)
            return std::nullopt;
        code = code * char32_t(base) + char32_t(digit);
    }
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    return code;
}

std::optional<QString> ReferencedText(QStringView name)
{
    if (name.startsWith(u'#')) {
        const std::optional<char32_t> code = NumericReference(name.sliced(1));
        if (!code)
            return std::nullopt;
        return QString::fromUcs4(&*code, 1);
    }
    if (name == u"amp")
        return QStringLiteral("&");
    if (name == u"lt")
        return QStringLiteral("<");
    if (name == u"gt")
        return QStringLiteral(">");
    if (name == u"quot")
        return QStringLiteral("\"");
    if (name == u"apos")
        return QStringLiteral("'");
    return std::nullopt;
}

} // namespace

QString DecodeCharacterReferences(QStringView value)
{
    QString decoded;
    decoded.reserve(value.size());
    qsizetype i = 0;
    while (i < value.size()) {
        if (value[i] == u'&') {
            const QStringView ahead = value.sliced(i + 1).first(
                std::min(kLongestReference, value.size() - i - 1));
            const qsizetype semicolon = ahead.indexOf(u';');
            if (semicolon >= 0) {
                if (const std::optional<QString> text = ReferencedText(ahead.first(semicolon))) {
                    decoded += *text;
                    i += semicolon + 2;
                    continue;
                }
            }
        }
        decoded += value[i];
        ++i;
    }
    return decoded;
}
