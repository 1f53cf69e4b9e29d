#include "ui/frame/CPopupMenu.h"

#include "ui/frame/CCommandActions.h"

CPopupMenu::CPopupMenu(CCommandActions& actions, std::initializer_list<int> ids, QWidget* parent)
    : QMenu(parent)
{
    for (const int id : ids)
    {
        if (id == 0)
            addSeparator();
        else
            addAction(actions.Get(id));
    }
    connect(this, &QMenu::aboutToShow, this, [&actions] { actions.Refresh(); });
}

void CPopupMenu::ShowAt(const QPoint& global)
{
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
