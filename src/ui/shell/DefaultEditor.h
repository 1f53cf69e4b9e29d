#pragma once

class CAppSettings;
class CMimeAssociation;
class QWidget;

// Start-up's two steps on the desktop's default application for tar files
// (application/x-tar), both only while Vorkant's desktop entry is installed.

// While another application is the default and the user has not ticked
// "&Don't ask me again", asks with CDefaultAssocDlg over parent whether
// Vorkant should be; Yes makes it so. The box's state goes to
// m_bNoAssocPrompt whatever the answer.
void CheckDefaultEditor(CMimeAssociation& association, CAppSettings& settings, QWidget* parent);

// Makes Vorkant the default only where the desktop has none.
void RegisterShellFileTypes(CMimeAssociation& association);
