#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CDestination;
class COpenFolder;

// The members of an extraction that are neither files nor folders: FIFOs,
// hard links and symbolic links. FIFOs and hard links are made where the
// scan meets them; symbolic links wait until every other member is out, so
// that no member is ever written through a link the archive made. Each
// takes the place of whatever stands under its name but a folder: it is
// made beside under a name of its own and renamed over it. Owned by one
// extraction, on the worker thread. Failures throw the problem's text
// (CGenericException) or the system's failure (COsException).
class CMemberLinks
{
public:
    // A symbolic link that waits for the end of the extraction.
    struct SSymbolic
    {
        std::vector<std::string> components; // below the destination
        std::string path;                    // its whole path, for problems
        std::string target;                  // verbatim from the archive
        std::uint32_t time = 0;
        bool superseded = false; // by a later member of the same name
    };

    // A member other than a symbolic link took this place: a link waiting
    // for it has come before it in the archive and must not replace it.
    void NoteMember(const std::vector<std::string>& components);
    // A file this extraction made, which later hard links may name.
    void NoteFile(const std::vector<std::string>& components);

    void MakeFifo(CDestination& destination, const std::vector<std::string>& components,
                  const std::string& path, unsigned mode, std::uint32_t time);
    // target is the member the link names, in archive form: it must be a
    // file this extraction made, and so lie inside the destination.
    void MakeHard(CDestination& destination, const std::vector<std::string>& components,
                  const std::string& path, const std::string& target);

    void DeferSymbolic(SSymbolic link);
    const std::vector<SSymbolic>& Deferred() const { return m_symbolic; }
    static void MakeSymbolic(CDestination& destination, const SSymbolic& link);

private:
    // Makes an item under name with make, beside and renamed over what
    // stands there already.
    template <typename TMake>
    static void Place(const COpenFolder& folder, const std::string& name, const std::string& path,
                      TMake make);
    static std::string Key(const std::vector<std::string>& components);

    std::unordered_set<std::string> m_files; // keyed by Key
    std::vector<SSymbolic> m_symbolic;
    std::unordered_map<std::string, std::size_t> m_waiting; // Key to its place in m_symbolic
};
