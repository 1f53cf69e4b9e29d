#include "ui/frame/CTabbedPages.h"

CTabbedPages::CTabbedPages(QWidget* parent) : QTabWidget(parent)
{
    setTabPosition(QTabWidget::South);
    setDocumentMode(true);
}

bool CTabbedPages::AddPage(QWidget* page, int index)
{
    if (page == nullptr)
        return false;
    insertTab(index < 0 ? count() : index, page, page->windowTitle());
    if (count() == 1)
        setCurrentIndex(0);
    return true;
}

bool CTabbedPages::SelectPage(int index)
{
    if (index < 0 || index >= count())
        return false;
    setCurrentIndex(index);
    return true;
}

bool CTabbedPages::SetPageTitle(int index, const QString& text)
{
    if (index < 0 || index >= count())
        return false;
    setTabText(index, text);
    return true;
}
