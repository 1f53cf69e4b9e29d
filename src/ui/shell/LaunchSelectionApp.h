#pragma once

class CAppSettings;
class QWidget;

// Starts or raises the application in which the user picks the files to drag
// onto "Files To Add": the desktop's file manager, or the one the settings
// name. A failure is shown to the user over parent and otherwise ignored.
// Serves "&Select Files" and the archive wizard's second step.
void LaunchSelectionApp(const CAppSettings& settings, QWidget* parent);
