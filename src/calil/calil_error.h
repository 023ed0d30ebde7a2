#pragma once

#include "util/error.h"

// Calil answered, but not with what a Calil answer holds: no JSON, or JSON
// of another shape.
class CalilError : public QuillmoorError
{
public:
    using QuillmoorError::QuillmoorError;
};
