#pragma once

#include <QString>
#include <QStringView>

// The text of an HTML attribute value as a browser reads it: the character
// references &amp; &lt; &gt; &quot; &apos; and the numeric ones (&#39;
// &#x27;) become their characters. Anything else that starts with "&" (an
// unknown name, a reference without its ";", a number that is no character)
// stays as written. Never throws.
QString DecodeCharacterReferences(QStringView value);
