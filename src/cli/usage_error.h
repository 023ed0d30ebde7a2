#pragma once

#include "util/error.h"

// The command line itself is malformed (exit status 2).
class UsageError : public QuillmoorError
{
public:
    using QuillmoorError::QuillmoorError;
};
