#include "cli/CCliApp.h"
#include "core/CException.h"
#include "engine/CTarMessages.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Whatever escapes a run still ends it with a message and the failure
    // status rather than an abort.
    try
    {
        const std::vector<std::string> args(argv + 1, argv + argc);
        CCliApp app(stdout, stderr, stdin);
        return app.Run(args);
    }
    catch (const CException& e)
    {
        std::fprintf(stderr, "vorkant-cli: %s\n", CTarMessages::MessageOf(e).c_str());
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "vorkant-cli: %s\n", e.what());
    }
    return CCliApp::EXIT_FAILED;
}
