#pragma once

// Texts of the window layer that more than one window shows.
namespace FrameTexts
{
// The caption of the program's own message boxes and the end of the title.
inline constexpr char APP_TITLE[] = "Vorkant";
// The name shown for a document that has no path yet.
inline constexpr char UNTITLED[] = "Untitled";
inline constexpr char ERRORS_OCCURRED[] =
    "Errors occurred during processing.\nLook at the Application Log for detailed information.";
inline constexpr char NO_FILE_TYPES[] = "No file types chosen.  Extraction aborted.";
inline constexpr char RECENT_FILE_PROMPT[] = "Open this archive";
// What the File menu shows while no archive has been opened yet.
inline constexpr char NO_RECENT_FILE[] = "Recent File";
} // namespace FrameTexts
