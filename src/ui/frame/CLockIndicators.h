#pragma once
#include <QObject>
#include <QTimer>

#include <array>

class QLabel;
class QStatusBar;

// The Caps Lock, Num Lock and Scroll Lock panes at the right of the status
// bar: each reads its text always and is greyed while its lock is off. Qt
// does not report lock states, so they are read from the system every half
// second. Owned by the main frame, the panes by the status bar.
class CLockIndicators : public QObject
{
    Q_OBJECT

public:
    enum ELock
    {
        LOCK_CAPS,
        LOCK_NUM,
        LOCK_SCROLL,
        LOCK_COUNT
    };

    explicit CLockIndicators(QStatusBar& bar);

    // Whether the lock is on; false where the system does not tell.
    static bool IsOn(ELock lock);

private:
    void Refresh();

    std::array<QLabel*, LOCK_COUNT> m_panes{};
    QTimer m_timer;
};
