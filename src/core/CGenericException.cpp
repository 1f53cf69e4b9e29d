#include "core/CGenericException.h"

#include <algorithm>
#include <cstring>

CGenericException::CGenericException(const char* text)
    : m_strMessage(text ? text : "No error message is available.")
{
}

CGenericException::CGenericException(std::string text) : m_strMessage(std::move(text))
{
}

bool CGenericException::GetErrorMessage(char* buffer, unsigned capacity,
                                        unsigned* helpContext) const
{
    if (helpContext)
        *helpContext = 0;
    if (capacity == 0)
        return true;
    const std::size_t length = std::min<std::size_t>(m_strMessage.size(), capacity - 1);
    std::memcpy(buffer, m_strMessage.data(), length);
    buffer[length] = '\0';
    return true;
}
