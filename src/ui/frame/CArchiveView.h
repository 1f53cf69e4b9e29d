#pragma once
#include "core/CEventHandler.h"
#include "ui/frame/CCommandTarget.h"
#include "ui/frame/SFrameContext.h"

#include <QWidget>

class CFileListCtrl;
class CPopupMenu;

// The upper pane of the main window: the catalogue of the open archive, and
// the commands on the archive itself (extract, list, erase, eject, the tape
// drive's features, the archive wizard), which it hands to the document.
// Owned by the main frame; stores the catalogue's column widths in the
// settings when it goes.
class CArchiveView : public QWidget, public CEventHandler, public CCommandTarget
{
    Q_OBJECT

public:
    explicit CArchiveView(const SFrameContext& context, QWidget* parent = nullptr);
    ~CArchiveView() override;

    CFileListCtrl& List() const { return *m_pList; }
    CPopupMenu& Popup() const { return *m_pPopup; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled) override;

signals:
    void CommandStateChanged();

private:
    int OnListEvent(void* record);
    int OnSettingsChanged(void* record);
    void ApplyPathOption();
    void ApplyColumnOption();
    bool IsPopupItemEnabled(int id) const;
    bool IsTapeArchiveOpen() const;

    void ExtractFiles();
    void ShowTapeFeatures();

    CTarDoc& m_doc;
    CFileDataSource& m_catalogue;
    CAppSettings& m_settings;
    CFileListCtrl* m_pList;
    CPopupMenu* m_pPopup;
};
