#pragma once

class CFrontEnd;

// The question asked before the files to add are written to a tape: add them
// after the archive the tape holds, or replace that archive. The front end
// shows it (AskAppendOverwrite) and ends it with one of the codes below; this
// class holds its texts and turns the code into the save's two switches.
class CAppendOverwrite
{
public:
    static constexpr const char* AO_CAPTION = "Append or Overwrite";
    static constexpr const char* AO_QUESTION = "Would you like to append files to this tape or overwrite it?";
    static constexpr const char* AO_APPEND_BUTTON = "&Append";
    static constexpr const char* AO_OVERWRITE_BUTTON = "&Overwrite";

    // End codes: the two buttons' ids, and the close box. Append is the
    // default button.
    static constexpr int AO_APPEND = 1063;
    static constexpr int AO_OVERWRITE = 1065;
    static constexpr int AO_CANCEL = 2;

    struct SChoice
    {
        bool bProceed; // false: nothing is written
        bool bAppend;  // false: the tape's archive is erased first
    };

    // Reads an end code. Any code other than the two buttons' counts as a
    // cancel, so that nothing is overwritten on an answer no one gave.
    static SChoice Interpret(int code);
    // Asks through the front end and reads its answer.
    static SChoice Ask(CFrontEnd& frontEnd);
};
