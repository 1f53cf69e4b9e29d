#pragma once
// Helpers shared by the window-layer tests of the main frame and the
// application: a settings home of their own, a document with the window
// layer's lists behind a front end whose wait window is a real modal dialog,
// tape drives on demand, and ways to wait for the event loop and to answer
// the modal dialogs the code under test opens.

#include "core/CMessageLog.h"
#include "devices/CTapeDesc.h"
#include "document/CAppendOverwrite.h"
#include "document/CFrontEnd.h"
#include "document/CTarDoc.h"
#include "document/CWaitDialog.h"
#include "settings/CAppSettings.h"
#include "settings/SettingsTestHome.h"
#include "support/CTestFolder.h"
#include "ui/frame/CCommandActions.h"
#include "ui/frame/CCommandTarget.h"
#include "ui/frame/SFrameContext.h"
#include "ui/lists/CFileDataSource.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QPointer>
#include <QSettings>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// The stored settings and QSettings of one test case in a fresh folder.
// QSettings reads its folder once per process, so it is pointed at the
// case's folder explicitly.
class CUiTestHome
{
public:
    CUiTestHome()
    {
        const QString folder = QString::fromStdString(m_home.Folder().Path().string());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    }
    const CTestFolder& Folder() const { return m_home.Folder(); }

private:
    CSettingsTestHome m_home;
};

// Runs the event loop until the condition holds or the time is up.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition())
    {
        if (clock.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Runs the event loop for a while.
inline void Spin(int ms)
{
    WaitUntil([] { return false; }, ms);
}

// Once a modal widget of type T is up, hands it to act. Should none come in
// time, whatever modal widget is up is closed so the test cannot hang.
template <class T> void WhenModal(std::function<void(T*)> act, int timeoutMs = 5000)
{
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout,
                     [timer, clock, act, timeoutMs]
                     {
                         if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget()))
                         {
                             timer->stop();
                             timer->deleteLater();
                             act(widget);
                             return;
                         }
                         if (clock->elapsed() > timeoutMs)
                         {
                             timer->stop();
                             timer->deleteLater();
                             ADD_FAILURE() << "the expected modal dialog never came";
                             if (QWidget* other = QApplication::activeModalWidget())
                                 other->close();
                         }
                     });
    timer->start(5);
}

// Fails and closes a modal window that stays up far longer than any test
// leaves one, so that a fault shows as a failure rather than a hang.
class CModalWatchdog
{
public:
    explicit CModalWatchdog(int limitMs = 10000)
    {
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this, limitMs]
                         {
                             QWidget* modal = QApplication::activeModalWidget();
                             if (modal != m_pSeen.data())
                             {
                                 m_pSeen = modal;
                                 m_clock.restart();
                                 return;
                             }
                             if (modal != nullptr && m_clock.elapsed() > limitMs)
                             {
                                 ADD_FAILURE() << "a modal window stayed up: "
                                               << modal->windowTitle().toStdString();
                                 modal->close();
                                 m_clock.restart();
                             }
                         });
        m_clock.start();
        m_timer.start(100);
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    QPointer<QWidget> m_pSeen;
};

// The shared command actions a pane's popup shows, for a pane tested without
// the main frame: commands go to the pane, whose rules set the states.
class CPaneActions
{
public:
    // The pane is made after the actions it takes.
    void Serve(CCommandTarget& pane) { m_pPane = &pane; }
    CCommandActions& Actions() { return m_actions; }

private:
    bool IsEnabled(int id) const
    {
        bool enabled = false;
        return m_pPane != nullptr && m_pPane->OnUpdateCommand(id, enabled) && enabled;
    }

    QWidget m_window;
    CCommandTarget* m_pPane = nullptr;
    CCommandActions m_actions{m_window, [this](int id) { m_pPane->OnCommand(id); },
                              [this]
                              { m_actions.Update([this](int id) { return IsEnabled(id); }); }};
};

// A front end whose wait window is a plain modal dialog, so that the window
// thread behaves as in the program while an operation runs: it serves queued
// calls and QApplication::activeModalWidget() is set. Questions are answered
// from a script (IDNO when it runs out; append; the save path set, else none)
// and recorded.
class CTestFrontEnd : public CFrontEnd
{
public:
    int RunWaitWindow(CWaitDialog& dialog) override
    {
        QDialog window(QApplication::activeWindow());
        window.setModal(true);
        m_pWindow = &window;
        ++m_nSerial;
        dialog.OnWindowCreated();
        const int code = window.exec();
        m_pWindow = nullptr;
        ++m_nRuns;
        return code;
    }
    void SetWaitStatus(const std::string&) override {}
    void SetWaitProgress(int) override {}
    void SetWaitOverall(const std::string&) override {}
    void CloseWaitWindow(int code) override
    {
        // A close meant for one run never ends the next.
        QMetaObject::invokeMethod(
            qApp,
            [this, code, serial = m_nSerial.load()]
            {
                if (m_pWindow && serial == m_nSerial)
                    m_pWindow->done(code);
            },
            Qt::QueuedConnection);
    }
    void ShowFinishedLook() override { CloseWaitWindow(CWaitDialog::WAIT_CLOSE_DONE); }
    void ShowError(const std::string& text) override
    {
        std::lock_guard lock(m_lock);
        m_errors.push_back(text);
    }
    int Ask(const std::string& text, const std::string&, unsigned) override
    {
        std::lock_guard lock(m_lock);
        m_questions.push_back(text);
        if (m_answers.empty())
            return IDNO;
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    int AskAppendOverwrite() override { return CAppendOverwrite::AO_APPEND; }
    bool AskSavePath(const std::string&, std::string& path) override
    {
        std::lock_guard lock(m_lock);
        path = m_strSavePath;
        return !path.empty();
    }
    void RequestNewDocument() override {}

    // Where the save dialog saves from now on; empty: the user cancels it.
    void SetSavePath(const std::string& path)
    {
        std::lock_guard lock(m_lock);
        m_strSavePath = path;
    }
    void QueueAnswer(int answer)
    {
        std::lock_guard lock(m_lock);
        m_answers.push_back(answer);
    }
    std::vector<std::string> Questions() const
    {
        std::lock_guard lock(m_lock);
        return m_questions;
    }
    std::vector<std::string> Errors() const
    {
        std::lock_guard lock(m_lock);
        return m_errors;
    }
    int Runs() const { return m_nRuns; }

private:
    mutable std::mutex m_lock;
    QPointer<QDialog> m_pWindow;
    std::deque<int> m_answers;
    std::vector<std::string> m_questions;
    std::vector<std::string> m_errors;
    std::string m_strSavePath;
    int m_nRuns = 0;
    std::atomic<int> m_nSerial{0};
};

// VORKANT_TAPE_IMAGES naming the images given (none: no images) while it
// lives, so that tape discovery finds them as drives; put back afterwards.
class CTapeImagesVariable
{
public:
    explicit CTapeImagesVariable(const std::vector<std::string>& images)
    {
        if (const char* previous = std::getenv(kName))
            m_previous = previous;
        std::string joined;
        for (const std::string& image : images)
            joined += (joined.empty() ? "" : ":") + image;
        Put(joined);
    }
    ~CTapeImagesVariable() { Put(m_previous.value_or(std::string())); }
    CTapeImagesVariable(const CTapeImagesVariable&) = delete;
    CTapeImagesVariable& operator=(const CTapeImagesVariable&) = delete;

private:
    static constexpr char kName[] = "VORKANT_TAPE_IMAGES";
    static void Put(const std::string& value)
    {
        if (value.empty())
            unsetenv(kName);
        else
            setenv(kName, value.c_str(), 1);
    }
    std::optional<std::string> m_previous;
};

inline std::unique_ptr<CTapeDesc> MakeTapeDesc(const std::vector<std::string>& images)
{
    const CTapeImagesVariable variable(images);
    return std::make_unique<CTapeDesc>();
}

// A document made as the application makes it, with the two lists of the
// window layer, behind the test front end. No finished look: nobody is there
// to press it.
class CFrameTestDocument
{
public:
    explicit CFrameTestDocument(const std::vector<std::string>& tapeImages = {})
        : m_pTapes(MakeTapeDesc(tapeImages))
    {
        m_settings.m_bShowFinishedDialog = 0;
        m_settings.m_strExtractFolder = m_folder.Path().string();
        m_pDoc = std::make_unique<CTarDoc>(
            m_frontEnd, m_settings, m_log, CTarDoc::EngineFactory{},
            [this](CTarDoc::EList list)
            {
                auto source = std::make_unique<CFileDataSource>();
                (list == CTarDoc::LIST_CATALOGUE ? m_pCatalogue : m_pFilesToAdd) = source.get();
                return source;
            });
    }

    SFrameContext Context()
    {
        return {*m_pDoc,
                *m_pCatalogue,
                *m_pFilesToAdd,
                m_settings,
                m_log,
                *m_pTapes,
                QFontDatabase::systemFont(QFontDatabase::GeneralFont)};
    }
    // Adds entries named name0, name1, ... to the list.
    static void Fill(CFileEntrys& list, int count, const std::string& name = "name")
    {
        for (int i = 0; i < count; ++i)
            list.Add(SFileEntry(name + std::to_string(i)));
    }

    CUiTestHome m_home;
    CModalWatchdog m_watchdog;
    CTestFolder m_folder;
    CAppSettings m_settings;
    CMessageLog m_log;
    std::unique_ptr<CTapeDesc> m_pTapes;
    CTestFrontEnd m_frontEnd;
    CFileDataSource* m_pCatalogue = nullptr;
    CFileDataSource* m_pFilesToAdd = nullptr;
    std::unique_ptr<CTarDoc> m_pDoc;
};
