#pragma once
// Checks that a call raises the exception a test expects, with its text.
// Header-only: the test programs that use it link the core library.

#include "core/COsException.h"
#include "platform/CSystemError.h"

#include <gtest/gtest.h>

#include <string>

// The system's text for a code, as COsException carries it.
inline std::string TextOf(DWORD code)
{
    std::string text;
    EXPECT_TRUE(CSystemError::LookupText(code, text)) << code;
    return text;
}

template <typename Call> void ExpectOsError(DWORD code, Call call)
{
    try
    {
        call();
        ADD_FAILURE() << "nothing was raised";
    }
    catch (const COsException& e)
    {
        EXPECT_EQ(e.GetErrorCode(), code);
        EXPECT_EQ(e.GetText(), TextOf(code));
    }
}

template <typename Call> void ExpectMessage(const std::string& text, Call call)
{
    try
    {
        call();
        ADD_FAILURE() << "nothing was raised";
    }
    catch (const CGenericException& e)
    {
        EXPECT_EQ(e.GetText(), text);
    }
}
