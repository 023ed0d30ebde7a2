#include "util/control_characters.h"

#include <algorithm>

namespace {

bool IsControl(QChar c)
{
    const char16_t u = c.unicode();
    return (u < 0x20 && u != u'\t') || (u >= 0x7F && u <= 0x9F);
}

} // namespace

QString ReplaceControlCharacters(QString text)
{
    // Most texts hold none: leave them unshared and uncopied.
    if (std::none_of(text.cbegin(), text.cend(), IsControl))
        return text;
    std::replace_if(text.begin(), text.end(), IsControl, QChar(QChar::ReplacementCharacter));
    return text;
}
