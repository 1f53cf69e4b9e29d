#pragma once
#include <string>

class QUrl;
class QWidget;

// Lets the user pick a folder of the file system, such as the destination of
// an extraction. Made on the stack by whoever asks, for one question; the
// owner window is not owned.
class CFolderBrowseDlg
{
public:
    CFolderBrowseDlg(const std::string& title, const std::string& initialFolder, QWidget* owner);
    virtual ~CFolderBrowseDlg() = default;
    CFolderBrowseDlg(const CFolderBrowseDlg&) = delete;
    CFolderBrowseDlg& operator=(const CFolderBrowseDlg&) = delete;

    // IDOK when a folder was chosen (GetPath then holds it), IDCANCEL when
    // the user cancelled or chose something that is not a file-system folder.
    int Browse();
    // The initial folder until a folder is chosen, then the chosen one.
    const std::string& GetPath() const { return m_strPath; }

protected:
    // Shows the chooser; false when the user cancelled. Tests replace it.
    virtual bool ShowBrowser(QUrl& chosen);

    const std::string m_strTitle;
    std::string m_strPath;
    QWidget* const m_pOwner;
};
