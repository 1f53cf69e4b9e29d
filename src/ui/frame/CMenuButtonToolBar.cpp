#include "ui/frame/CMenuButtonToolBar.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

#include <algorithm>

CMenuButtonToolBar::CMenuButtonToolBar(const QString& title, QWidget* parent)
    : QToolBar(title, parent)
{
}

QToolButton* CMenuButtonToolBar::ButtonOf(int commandId) const
{
    for (QAction* action : actions())
    {
        if (!action->isSeparator() && action->data().toInt() == commandId)
            return qobject_cast<QToolButton*>(widgetForAction(action));
    }
    return nullptr;
}

bool CMenuButtonToolBar::AddMenuButton(int commandId, QMenu* menu)
{
    QToolButton* button = ButtonOf(commandId);
    if (button == nullptr || HasMenuButton(commandId))
        return false;
    // The menu replaces the button's own command while it is attached; a
    // disabled button shows nothing.
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    m_menuCommands.push_back(commandId);
    return true;
}

void CMenuButtonToolBar::RemoveMenuButton(int commandId)
{
    const auto found = std::find(m_menuCommands.begin(), m_menuCommands.end(), commandId);
    if (found == m_menuCommands.end())
        return;
    m_menuCommands.erase(found);
    if (QToolButton* button = ButtonOf(commandId))
    {
        button->setMenu(nullptr);
        button->setPopupMode(QToolButton::DelayedPopup);
    }
}

bool CMenuButtonToolBar::HasMenuButton(int commandId) const
{
    return std::find(m_menuCommands.begin(), m_menuCommands.end(), commandId) !=
           m_menuCommands.end();
}
