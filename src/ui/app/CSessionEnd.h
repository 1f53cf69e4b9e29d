#pragma once
#include <QObject>
#include <QTimer>

#include <functional>

class CQtFrontEnd;
class QWidget;

// Ends the program when the desktop session ends, as Exit does, even while a
// question, a dialog or an operation is up: nobody is left to answer, and the
// session gives its programs only moments. From Start on the front end
// answers every new question itself, and the window on top (a popup, a box, a
// dialog, the wait window) is dismissed as its Escape key would, one a step;
// the wait window's Cancel stops the operation without asking. Once none is
// left and start-up is over, close runs. The application makes one for its
// run.
class CSessionEnd : public QObject
{
    Q_OBJECT

public:
    CSessionEnd(CQtFrontEnd& frontEnd, std::function<bool()> isStarted, std::function<void()> close,
                QObject* parent = nullptr);

    void Start();

private:
    void Step();
    static QWidget* TopWindow();
    static void Dismiss(QWidget& window);

    CQtFrontEnd& m_frontEnd;
    std::function<bool()> m_isStarted;
    std::function<void()> m_close;
    QTimer m_timer;
};
