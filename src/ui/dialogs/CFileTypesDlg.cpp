#include "ui/dialogs/CFileTypesDlg.h"

#include "ui/dialogs/DialogSupport.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QValidator>

#include <algorithm>

namespace
{
// Patterns are kept in lower case whatever the user types or pastes.
class CLowerCaseValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override
    {
        input = input.toLower();
        return Acceptable;
    }
};
} // namespace

CFileTypesDlg::CFileTypesDlg(std::vector<std::string>* specs, QWidget* parent)
    : QDialog(parent), m_pSpecs(specs), m_pEdit(new QLineEdit), m_pList(new QListWidget),
      m_pAdd(new QPushButton(tr("&Add"))), m_pRemove(new QPushButton(tr("&Remove")))
{
    setWindowTitle(tr("File Types"));

    auto* label = new QLabel(tr("File Type(s)"));
    label->setBuddy(m_pEdit);
    m_pEdit->setValidator(new CLowerCaseValidator(m_pEdit));
    SetControlId(*m_pEdit, IDC_SPECS);
    m_pList->setAccessibleName(label->text());
    m_pList->setSortingEnabled(true);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    SetControlId(*m_pAdd, IDC_ADD);
    SetControlId(*m_pRemove, IDC_REMOVE);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFileTypesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFileTypesDlg::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(m_pEdit, 1, 0);
    layout->addWidget(m_pAdd, 1, 1);
    layout->addWidget(m_pList, 2, 0, 2, 1);
    layout->addWidget(m_pRemove, 2, 1, Qt::AlignTop);
    layout->addWidget(buttons, 4, 0, 1, 2);

    if (m_pSpecs)
    {
        for (const std::string& spec : *m_pSpecs)
            m_pList->addItem(ToQString(spec));
    }
    connect(m_pList, &QListWidget::itemSelectionChanged, this, &CFileTypesDlg::OnSelectionChanged);
    connect(m_pEdit, &QLineEdit::textChanged, this, &CFileTypesDlg::UpdateButtons);
    connect(m_pAdd, &QPushButton::clicked, this, &CFileTypesDlg::AddTyped);
    connect(m_pRemove, &QPushButton::clicked, this, &CFileTypesDlg::RemoveSelected);
    SelectRow(m_pList->count() > 0 ? 0 : -1);
    UpdateButtons();
}

void CFileTypesDlg::accept()
{
    AddTyped();
    if (m_pSpecs)
    {
        m_pSpecs->clear();
        for (int row = 0; row < m_pList->count(); ++row)
            m_pSpecs->push_back(ToStdString(m_pList->item(row)->text()));
    }
    QDialog::accept();
}

void CFileTypesDlg::AddTyped()
{
    const QString text = m_pEdit->text();
    if (!text.isEmpty() && !IsListed(text))
        m_pList->addItem(text);
    UpdateButtons();
}

void CFileTypesDlg::RemoveSelected()
{
    const int row = SelectedRow();
    if (row >= 0)
    {
        delete m_pList->takeItem(row);
        // The item that moved up into the place, or the new last one.
        SelectRow(std::min(row, m_pList->count() - 1));
    }
    UpdateButtons();
}

void CFileTypesDlg::SelectRow(int row)
{
    if (row < 0)
    {
        m_pList->clearSelection();
        m_pList->setCurrentRow(-1);
        m_pEdit->clear();
    }
    else
    {
        m_pList->setCurrentRow(row);
    }
}

void CFileTypesDlg::OnSelectionChanged()
{
    if (const int row = SelectedRow(); row >= 0)
        m_pEdit->setText(m_pList->item(row)->text());
    UpdateButtons();
}

void CFileTypesDlg::UpdateButtons()
{
    const QString text = m_pEdit->text();
    m_pAdd->setEnabled(!text.isEmpty() && !IsListed(text));
    m_pRemove->setEnabled(SelectedRow() >= 0);
}

bool CFileTypesDlg::IsListed(const QString& text) const
{
    // Without MatchCaseSensitive the comparison ignores case.
    return !m_pList->findItems(text, Qt::MatchFixedString).isEmpty();
}

int CFileTypesDlg::SelectedRow() const
{
    const QList<QListWidgetItem*> selected = m_pList->selectedItems();
    return selected.isEmpty() ? -1 : m_pList->row(selected.constFirst());
}
