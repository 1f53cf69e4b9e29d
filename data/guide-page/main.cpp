// vorkant-guide-page MARKDOWN HTML: turns the user guide into the page that
// the help commands open. Every heading gets the anchor that the repository
// host gives it, so links between sections work in both places.
#include <QFile>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>

namespace
{
// Lower case, blanks to hyphens, other punctuation dropped.
QString Anchor(const QString& heading)
{
    QString anchor;
    for (const QChar c : heading.toLower())
    {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'))
            anchor += c;
        else if (c == QLatin1Char(' '))
            anchor += QLatin1Char('-');
    }
    return anchor;
}

void AnchorHeadings(QTextDocument& document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
    {
        if (block.blockFormat().headingLevel() == 0)
            continue;
        QTextCharFormat format;
        format.setAnchor(true);
        format.setAnchorNames({Anchor(block.text())});
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
    }
}
} // namespace

int main(int argc, char** argv)
{
    // A build step: no display is needed to lay out text.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3)
    {
        std::fprintf(stderr, "usage: vorkant-guide-page MARKDOWN HTML\n");
        return 2;
    }
    QFile in(arguments[1]);
    QFile out(arguments[2]);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
    {
        std::fprintf(stderr, "vorkant-guide-page: %s\n",
                     qPrintable(in.isOpen() ? out.errorString() : in.errorString()));
        return 1;
    }
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("sans-serif"), 11));
    document.setMarkdown(QString::fromUtf8(in.readAll()));
    AnchorHeadings(document);
    document.setMetaInformation(QTextDocument::DocumentTitle, QStringLiteral("Vorkant User Guide"));
    out.write(document.toHtml().toUtf8());
    return out.flush() ? 0 : 1;
}
