#include "util/error.h"

QuillmoorError::QuillmoorError(QString message)
    : message_(std::move(message)), utf8_(message_.toStdString())
{
}
