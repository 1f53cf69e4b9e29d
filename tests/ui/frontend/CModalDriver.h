#pragma once
#include "ui/support/DialogTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QMetaObject>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// Drives modal windows from the window thread, and keeps any from outliving
// its test: a modal loop still running after ten seconds fails the test and
// is ended with -1. One per test, made on the window thread.
class CModalDriver
{
public:
    CModalDriver()
    {
        QObject::connect(&m_watchdog, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            {
                ADD_FAILURE() << "left open: " << dialog->windowTitle().toStdString();
                dialog->done(-1);
            }
        });
        m_watchdog.start(10000);
    }

    // Acts on the next modal T once ready says it may.
    template <class T>
    void OnNext(
        std::function<void(T*)> act, std::function<bool(T*)> ready = [](T*) { return true; })
    {
        auto* poll = new QTimer(&m_watchdog);
        QObject::connect(poll, &QTimer::timeout, [poll, act, ready] {
            T* modal = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!modal || !ready(modal))
                return;
            // Stopped first: the act may run a modal loop of its own.
            poll->stop();
            poll->deleteLater();
            act(modal);
        });
        poll->start(5);
    }

    // From another thread: the result of work run on the window thread,
    // after everything queued there before it.
    template <class F> static auto OnWindowThread(F work) -> decltype(work())
    {
        decltype(work()) result{};
        QMetaObject::invokeMethod(
            qApp, [&] { result = work(); }, Qt::BlockingQueuedConnection);
        return result;
    }

private:
    QTimer m_watchdog;
};
