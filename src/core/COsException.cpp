#include "core/COsException.h"

#include "platform/CSystemError.h"

COsException::COsException() : COsException(CSystemError::GetLast())
{
}

COsException::COsException(DWORD errorCode)
    : CGenericException(TextFor(errorCode)), m_dwError(errorCode)
{
}

std::string COsException::TextFor(DWORD errorCode)
{
    std::string text;
    if (!CSystemError::LookupText(errorCode, text))
        text = "Operating System Error " + std::to_string(errorCode);
    return text;
}
