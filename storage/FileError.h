#pragma once

#include "CommandError.h"

// "Cannot open file %s" / "Cannot create file %s".
class FileError : public CommandError
{
public:
    using CommandError::CommandError;
};
