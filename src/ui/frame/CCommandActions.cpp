#include "ui/frame/CCommandActions.h"

#include "ui/frame/CCommandTable.h"

#include <QAction>
#include <QWidget>

CCommandActions::CCommandActions(QWidget& window, Handler onTriggered,
                                 std::function<void()> refresh)
    : QObject(&window), m_window(window), m_onTriggered(std::move(onTriggered)),
      m_refresh(std::move(refresh))
{
}

QAction* CCommandActions::Get(int id)
{
    if (const auto found = m_primary.find(id); found != m_primary.end())
        return found->second;
    const CCommandTable::SCommand* command = CCommandTable::Find(id);
    QAction* action = Add(id, command ? QString::fromLatin1(command->pszText) : QString());
    if (command != nullptr)
        action->setShortcuts(command->shortcuts);
    // Shortcuts work wherever the focus is in the window, menu or not.
    m_window.addAction(action);
    m_primary.emplace(id, action);
    return action;
}

QAction* CCommandActions::Add(int id, const QString& text)
{
    auto* action = new QAction(text, &m_window);
    action->setData(id);
    if (const CCommandTable::SCommand* command = CCommandTable::Find(id))
    {
        action->setStatusTip(QString::fromLatin1(command->pszPrompt));
        action->setToolTip(QString::fromLatin1(command->pszTip));
    }
    connect(action, &QAction::triggered, this, [this, id] { m_onTriggered(id); });
    m_actions.emplace(id, action);
    return action;
}

void CCommandActions::Remove(int id)
{
    const auto [first, last] = m_actions.equal_range(id);
    for (auto it = first; it != last; ++it)
        delete it->second;
    m_actions.erase(first, last);
    m_primary.erase(id);
}

void CCommandActions::Update(const std::function<bool(int id)>& isEnabled)
{
    for (auto it = m_actions.begin(); it != m_actions.end();)
    {
        const int id = it->first;
        const bool enabled = isEnabled(id);
        for (; it != m_actions.end() && it->first == id; ++it)
            it->second->setEnabled(enabled);
    }
}

std::vector<QAction*> CCommandActions::Find(int id) const
{
    std::vector<QAction*> found;
    const auto [first, last] = m_actions.equal_range(id);
    for (auto it = first; it != last; ++it)
        found.push_back(it->second);
    return found;
}
