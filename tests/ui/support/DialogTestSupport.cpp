#include "ui/support/DialogTestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>

bool IsCalled(QWidget& widget, const QString& name)
{
    QAccessibleInterface* const accessible = QAccessible::queryAccessibleInterface(&widget);
    if (!accessible)
        return false;
    if (accessible->text(QAccessible::Name) == name)
        return true;
    for (const auto& [label, relation] : accessible->relations(QAccessible::Label))
    {
        if (label->text(QAccessible::Name) == name)
            return true;
    }
    return false;
}

void ShowAndSettle(QWidget& dialog)
{
    dialog.show();
    QCoreApplication::processEvents();
}

CMessageBoxAnswerer::CMessageBoxAnswerer(QMessageBox::StandardButton answer)
{
    QObject::connect(&m_timer, &QTimer::timeout,
                     [this, answer]
                     {
                         auto* const box =
                             qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                         if (!box || !box->isVisible())
                             return;
                         m_titles.push_back(box->windowTitle());
                         m_texts.push_back(box->text());
                         if (QAbstractButton* const button = box->button(answer))
                             button->click();
                         else
                             box->reject();
                     });
    m_timer.start(10);
}
