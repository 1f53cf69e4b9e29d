#pragma once
#include "core/CEventHandler.h"
#include "ui/frame/CWizardChoicePage.h"

#include <atomic>
#include <functional>

class CAppSettings;
class CFileEntrys;

// The archive wizard's second step: the user drops files on "Files To Add"
// from the selection application, which comes up each time the step shows.
// Next waits for the list to hold something and follows it as it changes;
// the path option decides whether names are stored relative or whole, and
// the lists check their entries again when it changes. Owned by the wizard.
class CTarBackupWizardPage2 : public CWizardChoicePage, public CEventHandler
{
    Q_OBJECT

public:
    CTarBackupWizardPage2(CAppSettings& settings, CFileEntrys& filesToAdd,
                          std::function<void()> launchSelectionApp, QWidget* parent = nullptr);
    ~CTarBackupWizardPage2() override;

    bool isComplete() const override;
    // The wizard calls it each time the step shows. The selection
    // application starts once the step is drawn, so it comes up over it.
    void OnSetActive();

private:
    int OnListEvent(void* record);
    void SetRelativePaths(bool relative);

    CAppSettings& m_settings;
    CFileEntrys& m_filesToAdd;
    std::function<void()> m_launchSelectionApp;
    // A change on another thread has been handed to the window thread and
    // not taken yet; the changes meanwhile need no call of their own.
    std::atomic<bool> m_bChangePosted{false};
};
