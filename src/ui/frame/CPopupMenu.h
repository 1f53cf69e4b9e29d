#pragma once
#include <QMenu>

#include <initializer_list>

class CCommandActions;

// The right-button menu of a list, made of the window's shared command
// actions: the very ones of the menus and toolbars, with their texts,
// shortcuts, status tips and enabled state, brought up to date as it opens.
// A chosen item goes the way the menu's would. Owned by the window whose list
// it belongs to.
class CPopupMenu : public QMenu
{
    Q_OBJECT

public:
    // The commands in order; 0 stands for a separator.
    CPopupMenu(CCommandActions& actions, std::initializer_list<int> ids, QWidget* parent);

    // Shows the menu at the point (screen coordinates) without waiting for
    // the choice.
    void ShowAt(const QPoint& global);
    // The item of the command, or nullptr.
    QAction* Item(int id) const;
};
