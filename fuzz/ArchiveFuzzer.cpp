// Feeds arbitrary bytes to the engine as an archive in a disk file: lists it,
// then extracts every member into a private folder. Nothing may crash, hang,
// or write anywhere but that folder: the destination sits a few folders deep
// inside a work folder of its own, and anything that turns up on the way down
// is a member that climbed out.
#include "core/CException.h"
#include "engine/CTar.h"
#include "engine/CWildCard.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace
{

const char kInput[] = "input.tar";
// A member that climbs this many folders or fewer lands where it is seen.
const char* const kDepth[] = {"a", "b", "c", "d"};

// The work folder of this process, below the temporary folder, removed at
// a normal exit. After a crash it stays for a look at what was extracted;
// scripts/fuzz gives each run a temporary folder of its own and removes it.
class CWorkFolder
{
public:
    CWorkFolder()
    {
        std::string name = (fs::temp_directory_path() / "vorkant-fuzz-XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr)
            std::abort();
        m_path = name;
        m_destination = m_path;
        for (const char* folder : kDepth)
            m_destination /= folder;
    }
    ~CWorkFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }

    const fs::path& Path() const { return m_path; }
    // Where members go; made afresh by the engine for every input.
    const fs::path& Destination() const { return m_destination; }

    void Reset() const
    {
        fs::remove_all(m_path / kDepth[0]);
        fs::remove(m_path / kInput);
    }

    // True when the work folder holds nothing but the input and the folders
    // down to the destination.
    bool HoldsOnlyInputAndDestination() const
    {
        fs::path folder = m_path;
        for (const char* expected : kDepth)
        {
            for (const auto& entry : fs::directory_iterator(folder))
            {
                const std::string name = entry.path().filename().string();
                if (name != expected && !(folder == m_path && name == kInput))
                    return false;
            }
            folder /= expected;
            if (!fs::exists(folder))
                return true;
        }
        return true;
    }

private:
    fs::path m_path;
    fs::path m_destination;
};

void WriteInput(const fs::path& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out)
        std::abort();
}

void ListAndExtract(const std::string& archive, const std::string& destination)
{
    CTar tar;
    try
    {
        tar.Open(archive, 20, false);
        tar.List();
        CWildCard all;
        all.AddSpec("*.*");
        const std::vector<std::uint32_t> noRows;
        tar.Extract(&all, &noRows, destination);
    }
    catch (const CException&)
    {
        // A damaged archive is refused with a message: that is the point.
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const CWorkFolder work;
    work.Reset();
    WriteInput(work.Path() / kInput, data, size);
    ListAndExtract((work.Path() / kInput).string(), work.Destination().string());
    if (!work.HoldsOnlyInputAndDestination())
        std::abort();
    return 0;
}
