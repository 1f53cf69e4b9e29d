#pragma once
#include <QString>

#include <string>

class QWidget;

// Small conversions the dialogs share. Text inside the system is in the
// system's 8-bit code page (the file calls take it as it is), so it crosses
// into Qt through the local 8-bit codec, not through UTF-8.
QString ToQString(const std::string& text);
std::string ToStdString(const QString& text);

// Names a control after its numeric dialog id, so that code and tests can
// find it whatever its text.
void SetControlId(QWidget& control, int id);
