#pragma once
#include <QDialog>

class QLabel;

// "About Vorkant": a picture, the program's name and version, OK. Shown
// modally by the application's About command.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // The name and version line, as shown.
    QString GetVersionLine() const;

private:
    QLabel* m_pVersion;
};
