#pragma once
#include <string>

class CTestFolder;

// What a peer command did: its exit status and everything it printed.
struct SPeerRun
{
    int status;
    std::string out;
    std::string err;
};

// Runs the other tar programs (GNU tar, bsdtar) for the interoperability
// tests through the shell, in the C locale and UTC so that their listings
// read the same on every host.
class CPeerShell
{
public:
    // The command runs with both outputs captured in files of the folder,
    // which are gone again when this returns.
    static SPeerRun Run(const CTestFolder& folder, const std::string& command);

    // Fails the calling test when the tool is not installed; call it through
    // ASSERT_NO_FATAL_FAILURE.
    static void Require(const std::string& tool);

    // The text as one single-quoted shell word.
    static std::string Quote(const std::string& text);
};
