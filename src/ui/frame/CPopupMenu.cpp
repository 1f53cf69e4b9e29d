#include "ui/frame/CPopupMenu.h"

#include "ui/frame/CCommandTable.h"

CPopupMenu::CPopupMenu(const std::vector<SItem>& items, OnCommand onCommand, QWidget* parent)
    : QMenu(parent)
{
    for (const SItem& item : items)
    {
        if (item.nId == 0)
        {
            addSeparator();
            continue;
        }
        QAction* action = addAction(QString::fromLatin1(item.pszText));
        action->setData(item.nId);
        if (const CCommandTable::SCommand* command = CCommandTable::Find(item.nId))
            action->setStatusTip(QString::fromLatin1(command->pszPrompt));
        connect(action, &QAction::triggered, this, [onCommand, id = item.nId] { onCommand(id); });
    }
}

void CPopupMenu::ShowAt(const QPoint& global, const IsEnabled& isEnabled)
{
    for (QAction* action : actions())
    {
        if (!action->isSeparator())
            action->setEnabled(isEnabled(action->data().toInt()));
    }
    popup(global);
}

QAction* CPopupMenu::Item(int id) const
{
    for (QAction* action : actions())
    {
        if (!action->isSeparator() && action->data().toInt() == id)
            return action;
    }
    return nullptr;
}
