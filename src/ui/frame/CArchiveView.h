#pragma once
#include "core/CEventHandler.h"
#include "ui/frame/CCommandTarget.h"
#include "ui/frame/SFrameContext.h"

#include <QWidget>

#include <memory>

class CCommandActions;
class CFileListCtrl;
class CFindBar;
class CMemberOpener;
class CPopupMenu;
class CTarBackupWizardDlg;

// The upper pane of the main window: the catalogue of the open archive, and
// the commands on the archive itself (extract, list, erase, eject, the tape
// drive's features, the archive wizard), which it hands to the document.
// A member opens with a double click or Enter and drags out onto a file
// manager; Ctrl+F shows a find bar over the catalogue; while the catalogue
// has the focus, Copy puts the selected members' names on the clipboard as
// text, and Cut and Paste, which would change it, do nothing.
// It owns the archive wizard, which it opens on a new empty document.
// Owned by the main frame; stores the catalogue's column widths in the
// settings when it goes.
class CArchiveView : public QWidget, public CEventHandler, public CCommandTarget
{
    Q_OBJECT

public:
    // The popup shows the window's actions.
    CArchiveView(const SFrameContext& context, CCommandActions& actions, QWidget* parent = nullptr);
    ~CArchiveView() override;

    CFileListCtrl& List() const { return *m_pList; }
    CPopupMenu& Popup() const { return *m_pPopup; }
    CFindBar& FindBar() const { return *m_pFindBar; }
    CMemberOpener& Opener() const { return *m_pOpener; }
    // The archive wizard the Archive Wizard command made last, or nullptr.
    CTarBackupWizardDlg* Wizard() const { return m_pWizard.get(); }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled) override;

signals:
    void CommandStateChanged();
    // The main window is to run the command as its menu would (New before
    // the wizard, the save that ends it).
    void CommandRequested(int id);

private:
    int OnListEvent(void* record);
    int OnSettingsChanged(void* record);
    void ApplyPathOption();
    void ApplyColumnOption();
    bool IsTapeArchiveOpen() const;
    bool OnEditCommand(int id, bool run, bool& enabled);

    void ExtractFiles();
    void ShowTapeFeatures();
    void OpenWizard();

    CTarDoc& m_doc;
    CFileDataSource& m_catalogue;
    CAppSettings& m_settings;
    CFileListCtrl* m_pList;
    CPopupMenu* m_pPopup;
    CFindBar* m_pFindBar;
    std::unique_ptr<CMemberOpener> m_pOpener;
    const bool m_bTapesExist;
    std::unique_ptr<CTarBackupWizardDlg> m_pWizard;
};
