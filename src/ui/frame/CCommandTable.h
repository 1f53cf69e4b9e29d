#pragma once
#include <QKeySequence>
#include <QList>

// The program's commands as the user meets them: menu text, shortcuts, the
// prompt shown in the status bar and the tooltip of a toolbar button. Static
// data; every window that builds a menu, toolbar or popup looks texts up here
// by command id.
class CCommandTable
{
public:
    struct SCommand
    {
        int nId;
        const char* pszText;
        QList<QKeySequence> shortcuts;
        const char* pszPrompt;
        const char* pszTip;
    };

    // Every command, in the order of the menus; the ones reached only by a
    // shortcut come last.
    static const QList<SCommand>& All();
    // The command with the id, or nullptr.
    static const SCommand* Find(int id);
};
