#include "ui/dialogs/DialogSupport.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QWidget>

QString ToQString(const std::string& text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToStdString(const QString& text)
{
    return text.toLocal8Bit().toStdString();
}

void SetControlId(QWidget& control, int id)
{
    control.setObjectName(QString::number(id));
}

QString IntegerProblem(const QString& text, int minimum, int maximum, int& number)
{
    static const QRegularExpression integer(QStringLiteral("^-?[0-9]+$"));
    const QString trimmed = text.trimmed();
    if (!integer.match(trimmed).hasMatch())
        return QCoreApplication::translate("DialogSupport", "Please enter an integer.");
    bool fits = false;
    number = trimmed.toInt(&fits);
    if (!fits || number < minimum || number > maximum)
        return QCoreApplication::translate("DialogSupport", "Please enter an integer between %1 and %2.")
            .arg(minimum)
            .arg(maximum);
    return {};
}
