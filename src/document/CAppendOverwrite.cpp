#include "document/CAppendOverwrite.h"

#include "document/CFrontEnd.h"

CAppendOverwrite::SChoice CAppendOverwrite::Interpret(int code)
{
    switch (code)
    {
    case AO_APPEND:
        return {true, true};
    case AO_OVERWRITE:
        return {true, false};
    default:
        return {false, true};
    }
}

CAppendOverwrite::SChoice CAppendOverwrite::Ask(CFrontEnd& frontEnd)
{
    return Interpret(frontEnd.AskAppendOverwrite());
}
