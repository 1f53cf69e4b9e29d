#include "ui/frontend/CDocumentText.h"

QString CDocumentText::ToQt(const std::string& text)
{
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (shown.endsWith(QLatin1Char('\n')))
        shown.chop(1);
    return shown;
}
