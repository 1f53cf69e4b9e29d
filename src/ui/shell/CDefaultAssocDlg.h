#pragma once
#include <QDialog>

// Asks at start-up whether Vorkant should open tar files from the desktop:
// "&Yes" accepts, "&No" rejects. Whichever ends it, m_bDontAsk holds the
// state of "&Don't ask me again". Made and run with exec() by
// CheckDefaultEditor.
class CDefaultAssocDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CDefaultAssocDlg(QWidget* parent = nullptr);

    bool m_bDontAsk = false;
};
