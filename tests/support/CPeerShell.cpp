#include "support/CPeerShell.h"

#include "support/CTestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

SPeerRun CPeerShell::Run(const CTestFolder& folder, const std::string& command)
{
    const std::string outPath = folder / "stdout.txt";
    const std::string errPath = folder / "stderr.txt";
    const std::string line =
        "TZ=UTC LC_ALL=C " + command + " >" + Quote(outPath) + " 2>" + Quote(errPath);
    const int status = std::system(line.c_str());
    SPeerRun result{status, folder.ReadFile("stdout.txt"), folder.ReadFile("stderr.txt")};
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return result;
}

void CPeerShell::Require(const std::string& tool)
{
    CTestFolder folder;
    ASSERT_EQ(Run(folder, "command -v " + tool).status, 0)
        << tool << " is missing (Debian: tar, libarchive-tools)";
}

std::string CPeerShell::Quote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
