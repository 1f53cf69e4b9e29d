#include "ui/dialogs/CFolderBrowseDlg.h"

#include "core/MessageBoxCodes.h"
#include "ui/dialogs/DialogSupport.h"

#include <QDir>
#include <QFileDialog>
#include <QUrl>

CFolderBrowseDlg::CFolderBrowseDlg(const std::string& title, const std::string& initialFolder,
                                   QWidget* owner)
    : m_strTitle(title), m_strPath(initialFolder), m_pOwner(owner)
{
}

int CFolderBrowseDlg::Browse()
{
    QUrl chosen;
    // A place without a local path (a network location, say) cannot take
    // files, so choosing one counts as cancelling.
    if (!ShowBrowser(chosen) || !chosen.isLocalFile())
        return IDCANCEL;
    m_strPath = ToStdString(QDir::toNativeSeparators(chosen.toLocalFile()));
    return IDOK;
}

bool CFolderBrowseDlg::ShowBrowser(QUrl& chosen)
{
    QFileDialog dialog(m_pOwner, ToQString(m_strTitle));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setSupportedSchemes({QStringLiteral("file")});
    // Without an initial folder the chooser opens where it likes.
    if (!m_strPath.empty())
        dialog.setDirectory(QDir::fromNativeSeparators(ToQString(m_strPath)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedUrls().isEmpty())
        return false;
    chosen = dialog.selectedUrls().constFirst();
    return true;
}
