#pragma once
#include "platform/WinTape.h"

#include <string>
#include <vector>

// What the "Tape Drive Features" view shows for the records a drive reports
// about itself and its tape: the two feature words in hex and one line per
// setting, limit and named feature. Plain text, so the GUI dialog and the
// terminal front end show the same thing. Whoever shows the view makes one
// from the records it has just been given and drops it with the view; the
// records are not kept.
class CTapeFeatures
{
public:
    CTapeFeatures(const TAPE_GET_DRIVE_PARAMETERS& drive, const TAPE_GET_MEDIA_PARAMETERS& media);

    // The feature words as "0x%lX", just as the driver reported them: the
    // high word keeps or lacks its top bit as it came.
    const std::string& GetFeaturesHigh() const { return m_strFeaturesHigh; }
    const std::string& GetFeaturesLow() const { return m_strFeaturesLow; }

    // The lines in the order they are gathered: settings, block size limits,
    // named features, then the tape.
    const std::vector<std::string>& GetLines() const { return m_lines; }
    // The lines as the view lists them: alphabetically, ignoring case, so
    // "Eject media" comes before "EOT warning zone size".
    std::vector<std::string> GetSortedLines() const;

private:
    std::string m_strFeaturesHigh;
    std::string m_strFeaturesLow;
    std::vector<std::string> m_lines;
};
