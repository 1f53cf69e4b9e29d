#pragma once
#include <QTabWidget>

// The tab control of the lower pane, tabs along the bottom edge: page i
// belongs to tab i, whose text is the page's title. Owned by the tabbed
// view, which owns its pages through it.
class CTabbedPages : public QTabWidget
{
    Q_OBJECT

public:
    explicit CTabbedPages(QWidget* parent = nullptr);

    // Inserts the page at the index (-1: at the end) under its window title;
    // the first page added is selected. False for no page.
    bool AddPage(QWidget* page, int index = -1);
    // False for an index with no page.
    bool SelectPage(int index);
    bool SetPageTitle(int index, const QString& text);
};
