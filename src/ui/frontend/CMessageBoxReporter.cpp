#include "ui/frontend/CMessageBoxReporter.h"

#include "ui/frontend/CMessageBoxStyle.h"
#include "ui/frontend/CWindowThread.h"

#include <QApplication>

int CMessageBoxReporter::ShowError(const std::string& text, unsigned style)
{
    return CWindowThread::Call(QCoreApplication::instance(), [&text, style] {
        return CMessageBoxStyle::Show(QApplication::activeWindow(), CMessageBoxStyle::APP_TITLE,
                                      text, style);
    });
}
