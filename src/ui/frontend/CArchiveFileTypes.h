#pragma once
#include <QString>
#include <QStringList>

// The file types the Open and Save As dialogs offer for archives: plain tar
// archives and each kind of compression, with the name suffixes that ask
// for it when an archive is written.
class CArchiveFileTypes
{
public:
    // Save As: a type per kind, plain tar archives first, then all files.
    static QStringList SaveFilters();
    // Open: one "Tar archives" type holding every suffix, then all files,
    // as one filter string.
    static QString OpenFilter();
    // The suffix (without its dot) that a Save As type adds to a name that
    // has none: its first pattern's; empty for all files.
    static QString SuffixOf(const QString& filter);
};
