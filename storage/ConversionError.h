#pragma once

#include "CommandError.h"

// "'%s' is not a valid integer value".
class ConversionError : public CommandError
{
public:
    using CommandError::CommandError;
};
