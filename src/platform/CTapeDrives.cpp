#include "platform/CTapeDrives.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>
#include <system_error>

#include "platform/CFile.h"
#include "platform/CSimhTape.h"

#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include "platform/CWin32DosDeviceQuery.h"
#include "platform/CWin32Tape.h"
#else
#include "platform/CLinuxTape.h"

#include <fstream>
#include <iterator>
#endif

namespace
{

constexpr std::string_view kTapePrefix = "\\\\.\\tape";

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b)
                      {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

std::string Numbered(const char* prefix, DWORD unit)
{
    return prefix + std::to_string(unit);
}

std::vector<std::string> SplitList(const std::string& list, char separator)
{
    std::vector<std::string> paths;
    std::string::size_type start = 0;
    while (start <= list.size())
    {
        const std::string::size_type end = std::min(list.find(separator, start), list.size());
        // An empty entry names no file.
        if (end > start)
            paths.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return paths;
}

// An empty file is a blank tape. An image that cannot be made stays listed:
// opening it then says why.
void CreateIfMissing(const std::string& image)
{
    std::error_code error;
    if (std::filesystem::exists(image, error) || error)
        return;
    CFile file;
    file.Open(image, CFile::modeWrite | CFile::modeCreate | CFile::modeNoTruncate);
}

std::string HostImageList()
{
    const char* images = std::getenv("VORKANT_TAPE_IMAGES");
    return images ? images : "";
}

#ifdef _WIN32
// The system numbers its drives without gaps, as discovery finds them.
DWORD SystemDriveCount()
{
    const CWin32DosDeviceQuery devices;
    DWORD unit = 0;
    while (devices.Exists(Numbered("tape", unit)))
        ++unit;
    return unit;
}
#else
bool Exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// The whole of a small text file; empty when it cannot be read.
std::string ReadText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Trimmed(const std::string& text)
{
    const auto isBlank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

// The vendor and model the drive reported to the SCSI layer, which pads them
// with blanks.
std::string DisplayName(const std::string& sysfs, DWORD unit)
{
    const std::string device = sysfs + Numbered("/nst", unit) + "/device/";
    std::string name = Trimmed(ReadText(device + "vendor"));
    const std::string model = Trimmed(ReadText(device + "model"));
    if (!name.empty() && !model.empty())
        name += ' ';
    name += model;
    return name.empty() ? Numbered("Tape Device ", unit) : name;
}

#endif

} // namespace

std::optional<DWORD> CTapeDrives::UnitOf(const std::string& name)
{
    if (!StartsWithIgnoringCase(name, kTapePrefix))
        return std::nullopt;
    const std::string_view digits = std::string_view(name).substr(kTapePrefix.size());
    // One name per unit: "tape01" is not unit 1.
    if (digits.size() > 1 && digits.front() == '0')
        return std::nullopt;
    DWORD unit = 0;
    const char* const end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, unit);
    if (digits.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return unit;
}

std::vector<CTapeDrives::STapeDrive> CTapeDrives::Images(const std::string& list, DWORD firstUnit,
                                                        char separator)
{
    std::vector<STapeDrive> images;
    for (const std::string& image : SplitList(list, separator))
    {
        CreateIfMissing(image);
        images.push_back({firstUnit++, image, image, true});
    }
    return images;
}

#ifdef _WIN32
std::vector<CTapeDrives::STapeDrive> CTapeDrives::List()
{
    return Images(HostImageList(), SystemDriveCount());
}

std::unique_ptr<CTapeApi> CTapeDrives::ForName(const std::string& name)
{
    const std::optional<DWORD> unit = UnitOf(name);
    if (!unit)
        return nullptr;
    for (const STapeDrive& image : List())
    {
        if (image.nUnit == *unit)
            return std::make_unique<CSimhTape>(image.strPath);
    }
    // Whether the drive exists is the system's to say when it is opened.
    return std::make_unique<CWin32Tape>();
}
#else
CTapeDrives::SSources CTapeDrives::SSources::Host()
{
    return {"/dev", "/sys/class/scsi_tape", HostImageList()};
}

std::vector<CTapeDrives::STapeDrive> CTapeDrives::List()
{
    return List(SSources::Host());
}

std::vector<CTapeDrives::STapeDrive> CTapeDrives::List(const SSources& sources)
{
    std::vector<STapeDrive> drives;
    // The devices are numbered without gaps: the first missing one ends them.
    for (DWORD unit = 0;; ++unit)
    {
        std::string path = sources.strDevices + Numbered("/nst", unit);
        if (!Exists(path))
            break;
        drives.push_back({unit, DisplayName(sources.strSysfs, unit), std::move(path), false});
    }
    for (STapeDrive& image : Images(sources.strImages, static_cast<DWORD>(drives.size())))
        drives.push_back(std::move(image));
    return drives;
}

std::unique_ptr<CTapeApi> CTapeDrives::ForName(const std::string& name)
{
    return ForName(name, SSources::Host());
}

std::unique_ptr<CTapeApi> CTapeDrives::ForName(const std::string& name, const SSources& sources)
{
    const std::optional<DWORD> unit = UnitOf(name);
    if (!unit)
        return nullptr;
    for (const STapeDrive& drive : List(sources))
    {
        if (drive.nUnit != *unit)
            continue;
        if (drive.bImage)
            return std::make_unique<CSimhTape>(drive.strPath);
        return std::make_unique<CLinuxTape>(drive.strPath);
    }
    return nullptr;
}
#endif
