#include "platform/CConsole.h"

#include "support/CTestFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace
{

#ifdef _WIN32
constexpr char kNullDevice[] = "NUL";
#else
constexpr char kNullDevice[] = "/dev/null";
#endif

// Nobody answers from these: Windows calls the null device a character
// device all the same.
TEST(CConsole, NeitherAFileNorTheNullDeviceIsAConsole)
{
    const CTestFolder folder;
    for (const std::string& path : {folder.WriteFile("keys.txt", "y\n"), std::string(kNullDevice)})
    {
        const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(std::fopen(path.c_str(), "r"),
                                                                      std::fclose);
        ASSERT_NE(stream, nullptr) << path;
        EXPECT_FALSE(CConsole::Is(stream.get())) << path;
    }
}

} // namespace
