#pragma once
#include "engine/CSparseMap.h"
#include "platform/CFile.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class COpenFolder;

// The file a member is extracted to, owned by the extraction while the
// member's data is written. A member whose file did not exist is written in
// place; one that replaces an existing file is written beside it under a
// name of its own and takes the old name only in Commit, once its data is
// whole. A file that is never committed (a failure, a full disk, an archive
// cut short, a cancel) is removed again, so that the old file stays as it
// was and no piece of the member stands under its name. Every name is
// looked up in the member's folder held open, never by its whole path, so
// that nothing swapped in on the way meanwhile is reached. The object keeps
// its share of the folder and may pass to another thread. A link where the
// member goes is replaced by the member, never written through.
class CExtractedFile
{
public:
    // Creates the file name in folder, whose whole path is path, with the
    // permission bits of mode where the system takes them on creation
    // (CFile::kCreateTakesMode). Throws the file layer's failure, naming
    // path.
    CExtractedFile(std::shared_ptr<const COpenFolder> folder, const std::string& name,
                   std::string path, unsigned mode);
    ~CExtractedFile();
    CExtractedFile(const CExtractedFile&) = delete;
    CExtractedFile& operator=(const CExtractedFile&) = delete;

    // A free name of fixed length for an item made beside the one it is to
    // replace, whatever the member's name, so that it fits wherever that
    // name does. Names left by an extraction that never ended are skipped
    // by trying the next.
    static std::string BesideName();
    static constexpr int kBesideTries = 100;

    // The data to come is a sparse member's: its stored pieces go where
    // the map puts them, and the rest stays holes.
    void LeaveHoles(CSparseMap map);
    // The next bytes of the member's data. False with the system's failure.
    bool Write(const unsigned char* data, std::uint32_t size);
    // After the last data: a sparse file ending in a hole gets its whole
    // size. Throws the file layer's failure.
    void Complete();
    // Gives the file its time, and the permission bits of mode where the
    // system did not take them at creation. The text of the first failure,
    // if any; the file stays.
    std::optional<std::string> Restore(std::int64_t time, std::optional<unsigned> mode);
    // Closes the file and puts it under the member's name. Throws the file
    // layer's failure, the file then removed.
    void Commit();

private:
    bool Create(const std::string& name);
    void Replace();
    void CreateBeside();
    [[noreturn]] void Fail() const;

    std::shared_ptr<const COpenFolder> m_folder;
    std::string m_strName;    // the member's file in the folder
    std::string m_strPath;    // its whole path
    std::string m_strWritten; // the name in the folder its data goes to; empty until created
    unsigned m_nMode;
    CFile m_file;
    bool m_bCommitted = false;
    std::optional<CSparseMap> m_sparse;
    std::size_t m_nRegion = 0;     // the map's region the next bytes go to
    std::uint64_t m_nInRegion = 0; // how many of its bytes are written
};
