#pragma once
#include <QMenu>

#include <functional>
#include <vector>

// The right-button menu of a list: command items with their own texts, each
// enabled by its owner's rule just before it shows, and each sent back to
// the owner, which is the command target of its own popup. Owned by the
// window whose list it belongs to.
class CPopupMenu : public QMenu
{
    Q_OBJECT

public:
    struct SItem
    {
        int nId; // 0: a separator
        const char* pszText;
    };
    using IsEnabled = std::function<bool(int id)>;
    using OnCommand = std::function<void(int id)>;

    CPopupMenu(const std::vector<SItem>& items, OnCommand onCommand, QWidget* parent);

    // Enables each item by the rule and shows the menu at the point (screen
    // coordinates) without waiting for the choice.
    void ShowAt(const QPoint& global, const IsEnabled& isEnabled);
    // The item of the command, or nullptr.
    QAction* Item(int id) const;
};
