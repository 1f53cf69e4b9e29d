#pragma once
#include "platform/CFile.h"

#include <string>

// The file a member is extracted to, owned by the extraction while the
// member's data is written. A member that replaces an existing file is
// written beside it under a name of its own and takes the old name only in
// Commit, once its data is whole; a member whose file did not exist is
// written in place. A file that is never committed (a failure, a full disk,
// an archive cut short, a cancel) is removed again, so that the old file
// stays as it was and no piece of the member stands under its name.
class CExtractedFile
{
public:
    // Creates the file; replace says that a file stands at path already.
    // Throws the file layer's failure, naming path.
    CExtractedFile(std::string path, bool replace);
    ~CExtractedFile();
    CExtractedFile(const CExtractedFile&) = delete;
    CExtractedFile& operator=(const CExtractedFile&) = delete;

    CFile& File() { return m_file; }
    // Closes the file and puts it under the member's name. Throws the file
    // layer's failure, the file then removed.
    void Commit();

private:
    void CreateBeside();
    [[noreturn]] void Fail() const;

    std::string m_strPath;    // the member's name
    std::string m_strWritten; // where its data goes; empty until created
    CFile m_file;
    bool m_bCommitted = false;
};
