#include "cli/CTerminalReporter.h"

#include "cli/CTerminalFrontEnd.h"

int CTerminalReporter::ShowError(const std::string& text, unsigned)
{
    m_frontEnd.ShowError(text);
    return IDOK;
}
