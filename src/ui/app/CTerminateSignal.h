#pragma once
#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, which a desktop session sends its programs when it ends,
// into a signal on the window thread, so the program can close its window
// the way Exit does and save its settings instead of dying with them. One at
// a time; while it lives it holds the process's SIGTERM handler, and gives
// back the default on destruction. The application makes one for its run.
class CTerminateSignal : public QObject
{
    Q_OBJECT

public:
    explicit CTerminateSignal(QObject* parent = nullptr);
    ~CTerminateSignal() override;

signals:
    void Terminated();

private:
    static void OnSignal(int);
    void OnReadable();

    QSocketNotifier* m_pNotifier = nullptr;
};
