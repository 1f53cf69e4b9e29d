#include "cli/CCliApp.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    CCliApp app(stdout, stderr, stdin);
    return app.Run(args);
}
