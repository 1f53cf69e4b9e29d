#include "ui/frontend/CWindowThread.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

int CWindowThread::Call(QObject* context, const std::function<int()>& work)
{
    if (QThread::currentThread() == context->thread())
        return work();
    int answer = 0;
    QMetaObject::invokeMethod(
        context, [&work, &answer] { answer = work(); }, Qt::BlockingQueuedConnection);
    return answer;
}
