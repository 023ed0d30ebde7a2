#include "calil/calil_system_id.h"

#include <algorithm>

bool IsValidCalilSystemId(const QString& systemId)
{
    constexpr qsizetype kMaxLength = 64;
    if (systemId.isEmpty() || systemId.size() > kMaxLength)
        return false;
    return std::all_of(systemId.cbegin(), systemId.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'_';
    });
}
