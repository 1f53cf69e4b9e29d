#pragma once
#include <QString>

#include <string>

// The document's texts (UTF-8, Windows line breaks, system messages with a
// trailing line break) as the widgets show them. Used by the wait window and
// the message boxes of the front end.
class CDocumentText
{
public:
    // Line breaks as Qt draws them, without the trailing ones, which would
    // only add an empty line.
    static QString ToQt(const std::string& text);
};
