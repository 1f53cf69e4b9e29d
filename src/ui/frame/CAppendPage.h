#pragma once
#include "core/CEventHandler.h"
#include "ui/frame/CCommandTarget.h"

#include <QWidget>

#include <cstdint>

class CAppSettings;
class CCommandActions;
class CFileDataSource;
class CFileListCtrl;
class CMessageLog;
class CPopupMenu;

// The "Files To Add" page of the lower pane: the list of files and folders
// waiting to be written into the archive. The user drops or pastes them in,
// orders them, removes them, and saves the document to write them out. The
// page serves the files-to-add and clipboard commands while its tab is
// selected. Owned by the tabbed view.
class CAppendPage : public QWidget, public CEventHandler, public CCommandTarget
{
    Q_OBJECT

public:
    // The longest path the system opens, its terminating NUL counted: an
    // entry whose name or path is as long could not be read to be written.
    static const std::uint32_t PATH_LIMIT;

    // The popup shows the window's actions.
    CAppendPage(CAppSettings& settings, CMessageLog& log, CCommandActions& actions,
                QWidget* parent = nullptr);
    ~CAppendPage() override;

    // Shows the document's files to add; refused paths go to the log. The
    // stored column widths and options apply at the first attach only.
    void Attach(CFileDataSource& source);

    CFileListCtrl& List() const { return *m_pList; }
    CPopupMenu& Popup() const { return *m_pPopup; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled) override;

signals:
    // Something a command's enable rule reads has changed.
    void CommandStateChanged();

private:
    int OnListEvent(void* record);
    int OnSettingsChanged(void* record);
    void ApplySettings();
    // Moves the current entry to the row; nothing when it is not movable.
    void MoveCurrentTo(int row);
    bool CanMoveUp() const;
    bool CanMoveDown() const;
    int EntryCount() const;
    void SelectFiles();

    CAppSettings& m_settings;
    CMessageLog& m_log;
    CFileListCtrl* m_pList;
    CPopupMenu* m_pPopup;
    CFileDataSource* m_pSource = nullptr;
    bool m_bFirstAttach = true;
};
