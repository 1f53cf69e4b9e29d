#include "ui/frame/CFindBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

CFindBar::CFindBar(QWidget* parent) : QWidget(parent), m_pField(new QLineEdit(this))
{
    auto* label = new QLabel(tr("&Find:"), this);
    label->setBuddy(m_pField);
    m_pField->setPlaceholderText(tr("Part of a name"));
    m_pField->setClearButtonEnabled(true);
    auto* close = new QToolButton(this);
    close->setIcon(QIcon::fromTheme(QStringLiteral("window-close")));
    close->setText(tr("Close"));
    close->setToolTip(tr("Close the find bar (Esc)"));
    close->setAutoRaise(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(label);
    layout->addWidget(m_pField, 1);
    layout->addWidget(close);
    connect(m_pField, &QLineEdit::textChanged, this, &CFindBar::TextChanged);
    connect(close, &QToolButton::clicked, this, &CFindBar::Close);
    hide();
}

void CFindBar::Open()
{
    show();
    m_pField->setFocus(Qt::ShortcutFocusReason);
    m_pField->selectAll();
}

void CFindBar::Close()
{
    m_pField->clear();
    hide();
    emit Closed();
}

void CFindBar::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape)
    {
        QWidget::keyPressEvent(event);
        return;
    }
    Close();
    event->accept();
}
