#pragma once
#include "document/CFrontEnd.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

class CTarWaitDlg;
class QWidget;

// The document's front end in the Qt window layer: the wait window, the
// boxes and questions, the save dialog. Made on the window thread and owned
// by the application for the document's lifetime.
//
// The worker's requests to the wait window never wait: they are gathered
// here and handed to the window thread as one queued delivery at a time, in
// which the newest status and progress win and close and finish follow in
// the order they came. Boxes and questions asked by the worker block it
// until answered; asked on the window thread they run directly. Once the
// session ends no question waits for a user any more.
class CQtFrontEnd : public QObject, public CFrontEnd
{
    Q_OBJECT

public:
    explicit CQtFrontEnd(QObject* parent = nullptr);

    // The main window: owner of the wait window and of the boxes while no
    // wait window is open.
    void SetOwner(QWidget* window);
    // What RequestNewDocument runs, later, on the window thread.
    void SetNewDocumentHandler(std::function<void()> handler);
    // Window thread: the wait window of the running operation, or null.
    CTarWaitDlg* GetWaitWindow() const { return m_pWaitDlg; }
    // Window thread: the desktop session is ending. From now on each question
    // is answered without a box, as SessionEndAnswer says, the save dialog is
    // cancelled, and errors go to the standard error stream, which the
    // session keeps.
    void EndSession();

    int RunWaitWindow(CWaitDialog& dialog) override;
    void SetWaitStatus(const std::string& text) override;
    void SetWaitProgress(int percent) override;
    void SetWaitOverall(const std::string& text) override;
    void CloseWaitWindow(int code) override;
    void ShowFinishedLook() override;
    void ShowError(const std::string& text) override;
    int Ask(const std::string& text, const std::string& caption, unsigned style) override;
    int AskAppendOverwrite() override;
    bool AskSavePath(const std::string& proposed, std::string& path) override;
    void RequestNewDocument() override;

private:
    struct SWindowCommand
    {
        bool bFinish; // false: close
        int nCode;
    };
    // What the worker asked of the wait window since the last delivery.
    struct SPending
    {
        bool bStatus = false;
        std::string strStatus;
        int nProgress = -1;
        bool bOverall = false;
        std::string strOverall;
        std::vector<SWindowCommand> commands;
    };

    void QueueDeliveryLocked();
    void Deliver();
    // Window thread: the wait window while it shows, else the main window.
    QWidget* BoxOwner() const;
    static int SessionEndAnswer(const std::string& text, unsigned style);

    QPointer<QWidget> m_pOwner;
    std::function<void()> m_newDocumentHandler;
    // Window thread only.
    CTarWaitDlg* m_pWaitDlg = nullptr;
    bool m_bRunClosed = false;
    bool m_bSessionEnded = false;
    // Guards the two below; held only for moments, never while waiting.
    std::mutex m_pendingLock;
    SPending m_pending;
    bool m_bDeliveryQueued = false;
};
