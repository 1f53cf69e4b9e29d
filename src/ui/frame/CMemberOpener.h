#pragma once
#include <QString>
#include <QUrl>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CFileEntrys;
class CTarDoc;
class QMimeData;
class QTemporaryDir;

// Hands members of the open archive to the desktop: opened with the
// desktop's application for them, or dragged onto a file manager. Either way
// they are first extracted, as Extract Files would, with their folders, into
// a folder of their own inside a private temporary folder (the user's alone,
// under the runtime or cache folder) that goes with this object, when the
// program ends. The extraction runs as any other, behind the wait window.
class CMemberOpener
{
public:
    // Asks the desktop to open what the address names; false when it could
    // not. Tests substitute their own.
    using Launcher = std::function<bool(const QUrl&)>;

    CMemberOpener(CTarDoc& doc, const CFileEntrys& catalogue, Launcher launcher = {});
    ~CMemberOpener();

    void SetLauncher(Launcher launcher) { m_launcher = std::move(launcher); }

    // Opens the member of the catalogue row. A folder opens nothing; a link
    // opens its target when that is a member too. False when nothing opened.
    bool Open(int row);
    // The members of the rows, extracted, as a file manager takes a drop
    // (text/uri-list of what the extraction made at its top); nullptr when
    // nothing came out. The caller owns it.
    QMimeData* DragData(const std::vector<int>& rows);

    // The row of the member a link row leads to, through links to links;
    // the row itself for any other member, -1 when the chain leaves the
    // archive or goes round.
    int Target(int row) const;

private:
    // A new folder holding the members of the rows; empty when none came out.
    QString Extract(std::vector<std::uint32_t> rows);
    int RowOf(const std::string& name) const;

    CTarDoc& m_doc;
    const CFileEntrys& m_catalogue;
    Launcher m_launcher;
    std::unique_ptr<QTemporaryDir> m_pRoot;
    int m_nFolders = 0;
};
