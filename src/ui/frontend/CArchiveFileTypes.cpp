#include "ui/frontend/CArchiveFileTypes.h"

namespace
{
constexpr const char* kAllFilter = "All Files (*)";
constexpr const char* kPlainName = "Tar archives";
constexpr const char* kPlainPatterns = "*.tar";
// Each kind as "name (patterns)", the pattern its suffix comes from first.
constexpr const char* kCompressed[] = {
    "Gzip-compressed tar archives (*.tar.gz *.tgz)",
    "Bzip2-compressed tar archives (*.tar.bz2 *.tbz2 *.tbz)",
    "Xz-compressed tar archives (*.tar.xz *.txz)",
    "Zstd-compressed tar archives (*.tar.zst *.tzst)",
};

QString PatternsOf(const QString& filter)
{
    const qsizetype open = filter.indexOf(u'(');
    return filter.mid(open + 1, filter.lastIndexOf(u')') - open - 1);
}
} // namespace

QStringList CArchiveFileTypes::SaveFilters()
{
    QStringList filters{
        QStringLiteral("%1 (%2)").arg(QLatin1String(kPlainName), QLatin1String(kPlainPatterns))};
    for (const char* kind : kCompressed)
        filters << QLatin1String(kind);
    filters << QLatin1String(kAllFilter);
    return filters;
}

QString CArchiveFileTypes::OpenFilter()
{
    QStringList patterns{QLatin1String(kPlainPatterns)};
    for (const char* kind : kCompressed)
        patterns << PatternsOf(QLatin1String(kind));
    return QStringLiteral("%1 (%2);;%3")
        .arg(QLatin1String(kPlainName), patterns.join(u' '), QLatin1String(kAllFilter));
}

QString CArchiveFileTypes::SuffixOf(const QString& filter)
{
    const QString first = PatternsOf(filter).section(u' ', 0, 0);
    return first.startsWith(QLatin1String("*.")) ? first.mid(2) : QString();
}
