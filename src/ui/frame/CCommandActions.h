#pragma once
#include <QObject>

#include <functional>
#include <map>
#include <vector>

class QAction;
class QWidget;

// The QActions of the main window, each carrying its command id in its data:
// one per command as the menus and toolbars show it, plus the variants under
// other texts (the drop-down items "Open &File", "Save &Tape", ...) and the
// recent files. The menus, the toolbars and the lists' popups all show these
// very actions. Triggering any of them hands the id to the owner's handler,
// and Update enables every action of a command alike. The main frame owns
// the collection; the actions are children of the frame.
class CCommandActions : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(int id)>;

    // refresh sets every action's state from the enable rules; a popup runs
    // it as it opens.
    CCommandActions(QWidget& window, Handler onTriggered, std::function<void()> refresh);

    // The command's action as the menus show it; made on first use from the
    // command table, with its shortcuts working anywhere in the window.
    QAction* Get(int id);
    // Another action for the command, under another text.
    QAction* Add(int id, const QString& text);
    // Forgets and deletes every action of the command.
    void Remove(int id);

    void Update(const std::function<bool(int id)>& isEnabled);
    void Refresh() const { m_refresh(); }
    // Every action of the command, the one Get gives first; empty when it
    // has none.
    std::vector<QAction*> Find(int id) const;

private:
    QWidget& m_window;
    Handler m_onTriggered;
    std::function<void()> m_refresh;
    std::map<int, QAction*> m_primary;
    std::multimap<int, QAction*> m_actions;
};
