#pragma once
#include "core/CGenericException.h"

// Raised when memory for a stored value or buffer cannot be had.
class CMemoryException : public CGenericException
{
public:
    CMemoryException() : CGenericException("Out of memory.") {}
};
