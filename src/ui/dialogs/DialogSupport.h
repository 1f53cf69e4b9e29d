#pragma once
#include <QString>

#include <string>

class QWidget;

// Small conversions the dialogs share. Text inside the system is in the
// system's 8-bit code page (the file calls take it as it is), so it crosses
// into Qt through the local 8-bit codec, not through UTF-8.
QString ToQString(const std::string& text);
std::string ToStdString(const QString& text);

// What is wrong with a typed number, in the words of the message the user
// sees ("Please enter an integer." or "... between %1 and %2."), or empty
// when it is an integer in range, which then lands in number. Too many
// digits for an int count as out of range.
QString IntegerProblem(const QString& text, int minimum, int maximum, int& number);

// Names a control after its numeric dialog id, so that code and tests can
// find it whatever its text.
void SetControlId(QWidget& control, int id);
