#include "ui/dialogs/COptionsDlg.h"

#include "ui/dialogs/CAppSettingsPage.h"
#include "ui/dialogs/CArchiveRightsPage.h"
#include "ui/dialogs/CArchiveSettingsPage.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/shell/CUserGuide.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QMessageBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace
{
// Brings every tab that holds the widget to the front, inner tabs included.
void ShowPageOf(QWidget& widget)
{
    for (QWidget* child = &widget; child; child = child->parentWidget())
    {
        auto* const stack = qobject_cast<QStackedWidget*>(child->parentWidget());
        if (auto* const tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr)
            tabs->setCurrentWidget(child);
    }
}
} // namespace

COptionsDlg::COptionsDlg(CAppSettings* settings, QWidget* parent)
    : QDialog(parent), m_pPages(new QTabWidget), m_pRights(new CArchiveRightsPage(settings)),
      m_pArchive(new CArchiveSettingsPage(settings)), m_pApplication(new CAppSettingsPage(settings))
{
    setWindowTitle(tr("Options"));
    m_pPages->addTab(m_pRights, tr("Archive Permissions"));
    m_pPages->addTab(m_pArchive, tr("Archive Settings"));
    m_pPages->addTab(m_pApplication, tr("Application Settings"));
    // Every tab's title in view: the sheet widens rather than scroll them.
    m_pPages->setUsesScrollButtons(false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                         QDialogButtonBox::Help);
    connect(buttons, &QDialogButtonBox::accepted, this, &COptionsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &COptionsDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { CUserGuide::Show(CUserGuide::GUIDE_OPTIONS, this); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pPages);
    layout->addWidget(buttons);
}

void COptionsDlg::accept()
{
    // Nothing is written while a page still holds a bad number.
    if (!m_pRights->Validate() || !m_pArchive->Validate())
        return;
    m_pRights->Apply();
    m_pArchive->Apply();
    m_pApplication->Apply();
    QDialog::accept();
}

std::optional<int> COptionsDlg::ReadInteger(QWidget& field, const QString& text, int minimum,
                                            int maximum)
{
    int number = 0;
    const QString problem = IntegerProblem(text, minimum, maximum, number);
    if (problem.isEmpty())
        return number;
    ShowPageOf(field);
    QMessageBox::warning(field.window(), QGuiApplication::applicationDisplayName(), problem);
    field.setFocus();
    return std::nullopt;
}
