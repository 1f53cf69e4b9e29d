#pragma once
#include <QToolBar>

#include <vector>

class QMenu;
class QToolButton;

// A toolbar some of whose buttons may carry a drop-down menu. While a menu is
// attached, pressing its button shows the menu below the button instead of
// running the button's command; once detached the button acts at once
// again. The main frame owns the toolbar; the menus are the frame's too.
class CMenuButtonToolBar : public QToolBar
{
    Q_OBJECT

public:
    CMenuButtonToolBar(const QString& title, QWidget* parent);

    // False when no button carries the command or it has a menu already.
    bool AddMenuButton(int commandId, QMenu* menu);
    // Detaches the command's menu, if it has one.
    void RemoveMenuButton(int commandId);
    bool HasMenuButton(int commandId) const;
    // The button of the command, or nullptr.
    QToolButton* ButtonOf(int commandId) const;

private:
    // The commands whose buttons carry a menu, in the order attached.
    std::vector<int> m_menuCommands;
};
