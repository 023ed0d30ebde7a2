#include "gui/memo_isbn.h"

#include <QMimeData>

namespace {

bool HoldsText(const QMimeData* source)
{
    return source != nullptr && source->hasText();
}

} // namespace

bool TMemoIsbn::canInsertFromMimeData(const QMimeData* source) const
{
    return HoldsText(source) && QPlainTextEdit::canInsertFromMimeData(source);
}

void TMemoIsbn::insertFromMimeData(const QMimeData* source)
{
    if (HoldsText(source))
        QPlainTextEdit::insertFromMimeData(source);
}
