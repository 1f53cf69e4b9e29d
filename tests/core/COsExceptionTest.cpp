#include "core/CErrorReporter.h"
#include "core/COsException.h"
#include "core/CMemoryException.h"
#include "platform/CSystemError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace
{

std::string MessageOf(const CException& e)
{
    char buffer[512];
    e.GetErrorMessage(buffer, sizeof buffer);
    return buffer;
}

// The host's own text: Windows and Wine word their message tables differently.
std::string SystemText(DWORD code)
{
    std::string text;
    EXPECT_TRUE(CSystemError::LookupText(code, text)) << code;
    return text;
}

class CRecordingReporter : public CErrorReporter
{
public:
    int ShowError(const std::string& text, unsigned style) override
    {
        shown.push_back(text);
        styles.push_back(style);
        return IDOK;
    }
    std::string LoadString(unsigned id) override { return id == 7 ? "resource seven" : ""; }

    std::vector<std::string> shown;
    std::vector<unsigned> styles;
};

class CReporterScope
{
public:
    explicit CReporterScope(CErrorReporter* reporter) : m_previous(CException::SetReporter(reporter)) {}
    ~CReporterScope() { CException::SetReporter(m_previous); }

private:
    CErrorReporter* m_previous;
};

} // namespace

TEST(COsExceptionTest, MappedErrnoGivesTheWindowsText)
{
    std::string expected;
    ASSERT_TRUE(CSystemError::LookupText(ERROR_FILE_NOT_FOUND, expected));
    const COsException e(CSystemError::FromErrno(ENOENT));
    EXPECT_EQ(e.GetErrorCode(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(MessageOf(e), expected);
    EXPECT_EQ(expected.substr(expected.size() - 2), "\r\n");
}

TEST(COsExceptionTest, UnknownCodeGivesNumberedFallback)
{
    // Bit 29 marks an application's own code: no system has a text for one.
    EXPECT_EQ(MessageOf(COsException(0x20000000u | 1234u)), "Operating System Error 536872146");
    EXPECT_EQ(MessageOf(COsException(4294967295u)), "Operating System Error 4294967295");
}

TEST(COsExceptionTest, DefaultConstructionTakesTheLastErrorAtThatMoment)
{
    CSystemError::SetLast(ERROR_ACCESS_DENIED);
    const COsException e;
    CSystemError::SetLast(ERROR_DISK_FULL);
    EXPECT_EQ(e.GetErrorCode(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(MessageOf(e), SystemText(ERROR_ACCESS_DENIED));
}

TEST(COsExceptionTest, TextsCarryTheWindowsWording)
{
#ifdef _WIN32
    GTEST_SKIP() << "the texts are the system's own here, and Wine words them differently";
#endif
    EXPECT_EQ(MessageOf(COsException(ERROR_ACCESS_DENIED)), "Access is denied.\r\n");
    EXPECT_EQ(MessageOf(COsException(ERROR_NOT_READY)), "The device is not ready.\r\n");
    EXPECT_EQ(MessageOf(COsException(ERROR_PATH_NOT_FOUND)),
              "The system cannot find the path specified.\r\n");
}

TEST(COsExceptionTest, EveryMappedErrnoHasAText)
{
#ifdef _WIN32
    GTEST_SKIP() << "the texts are the system's own here; Wine has none for some codes";
#endif
    for (int err = 1; err < 140; ++err)
    {
        const DWORD code = CSystemError::FromErrno(err);
        std::string text;
        EXPECT_TRUE(CSystemError::LookupText(code, text)) << "errno " << err << " -> " << code;
    }
}

TEST(CGenericExceptionTest, GetErrorMessageTruncatesAndTerminates)
{
    const CGenericException e("Archive not open.");
    char buffer[8] = "xxxxxxx";
    unsigned help = 99;
    EXPECT_TRUE(e.GetErrorMessage(buffer, 6, &help));
    EXPECT_STREQ(buffer, "Archi");
    EXPECT_EQ(help, 0u);
    EXPECT_TRUE(e.GetErrorMessage(buffer, 1));
    EXPECT_STREQ(buffer, "");
}

TEST(CGenericExceptionTest, NullTextGivesTheNoMessageText)
{
    EXPECT_EQ(MessageOf(CGenericException(static_cast<const char*>(nullptr))),
              "No error message is available.");
    EXPECT_EQ(MessageOf(CMemoryException()), "Out of memory.");
}

TEST(CGenericExceptionTest, ThrownAsDerivedCaughtAsBase)
{
    try
    {
        throw COsException(ERROR_NOT_READY);
    }
    catch (const CException& e)
    {
        EXPECT_EQ(MessageOf(e), SystemText(ERROR_NOT_READY));
    }
}

TEST(CExceptionTest, ReportErrorGoesThroughTheInstalledReporter)
{
    CRecordingReporter reporter;
    CReporterScope scope(&reporter);

    CGenericException("Invalid parameters.").ReportError(MB_OK | MB_ICONSTOP);
    CGenericException(std::string()).ReportError();
    CGenericException(std::string()).ReportError(MB_OK, 7);

    ASSERT_EQ(reporter.shown.size(), 3u);
    EXPECT_EQ(reporter.shown[0], "Invalid parameters.");
    EXPECT_EQ(reporter.styles[0], MB_OK | MB_ICONSTOP);
    EXPECT_EQ(reporter.shown[1], "No error message is available.");
    EXPECT_EQ(reporter.shown[2], "resource seven");
}
