#include "core/CErrorReporter.h"

std::string CErrorReporter::LoadString(unsigned)
{
    return {};
}
