#pragma once
#include <QDialog>

#include <optional>

class CAppSettings;
class CAppSettingsPage;
class CArchiveRightsPage;
class CArchiveSettingsPage;
class QTabWidget;

// The "Options" sheet: the pages that edit the application's settings and
// the archive settings inside them. The application makes one on the stack
// over the main window for the Options command and saves the settings when
// it ends with OK. On OK every page that was opened checks its numbers
// first; then each writes its values and tells the settings' clients, in
// tab order.
class COptionsDlg : public QDialog
{
    Q_OBJECT

public:
    COptionsDlg(CAppSettings* settings, QWidget* parent = nullptr);

    void accept() override;

    // The number typed into field, or nothing after telling the user what
    // is wrong with it; the field's page is brought to the front first, so
    // that the user sees what the message is about.
    static std::optional<int> ReadInteger(QWidget& field, const QString& text, int minimum,
                                          int maximum);

private:
    QTabWidget* m_pPages;
    CArchiveRightsPage* m_pRights;
    CArchiveSettingsPage* m_pArchive;
    CAppSettingsPage* m_pApplication;
};
