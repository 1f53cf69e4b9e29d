#pragma once
#include "core/CException.h"

#include <string>

// A failure with a ready-made message text: the system's own messages such as
// "Archive not open.".
class CGenericException : public CException
{
public:
    // A null text gives "No error message is available.".
    explicit CGenericException(const char* text = nullptr);
    explicit CGenericException(std::string text);

    bool GetErrorMessage(char* buffer, unsigned capacity,
                         unsigned* helpContext = nullptr) const override;

    const std::string& GetText() const { return m_strMessage; }

protected:
    std::string m_strMessage;
};
