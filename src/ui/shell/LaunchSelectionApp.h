#pragma once

class CAppSettings;
class QWidget;

// Starts or raises the application in which the user picks the files to drag
// onto "Files To Add": with m_bUseExplorer the desktop's file manager on the
// home folder; otherwise the command in VORKANT_FILE_MANAGER (split at
// blanks, double quotes holding a word together), or the same file manager
// when that is unset. Goes
// through CDesktopLauncher::Current. A failure is shown to the user over the
// active window, parent's when the user asked from there, and otherwise
// ignored. Serves "&Select Files" and the archive wizard's second step.
void LaunchSelectionApp(const CAppSettings& settings, QWidget* parent);
