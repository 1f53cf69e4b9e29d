#include "devices/CTapeFeatures.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

using Lines = std::vector<std::string>;

struct SNamedFeature
{
    // A high-word feature carries TAPE_DRIVE_HIGH_FEATURES, a low-word one
    // never does, which tells the two words apart.
    DWORD value;
    const char* text;
};

constexpr SNamedFeature kNamedFeatures[] = {
    {TAPE_DRIVE_FIXED, "Fixed data partitons"},
    {TAPE_DRIVE_SELECT, "Select data partitons"},
    {TAPE_DRIVE_INITIATOR, "Initiator data partitons"},
    {TAPE_DRIVE_ERASE_SHORT, "Short erase marks"},
    {TAPE_DRIVE_ERASE_LONG, "Long erase marks"},
    {TAPE_DRIVE_ERASE_BOP_ONLY, "Beginning of partition erase"},
    {TAPE_DRIVE_ERASE_IMMEDIATE, "Immediate erase"},
    {TAPE_DRIVE_TAPE_CAPACITY, "Tape total capacity"},
    {TAPE_DRIVE_TAPE_REMAINING, "Tape remaining capacity"},
    {TAPE_DRIVE_FIXED_BLOCK, "Fixed block"},
    {TAPE_DRIVE_WRITE_PROTECT, "Tape write protect"},
    {TAPE_DRIVE_EOT_WZ_SIZE, "End of medium warning size"},
    {TAPE_DRIVE_GET_ABSOLUTE_BLK, "Get absolute block"},
    {TAPE_DRIVE_GET_LOGICAL_BLK, "Get logical block"},
    {TAPE_DRIVE_SET_EOT_WZ_SIZE, "Set end of medium warning size"},
    {TAPE_DRIVE_EJECT_MEDIA, "Eject media"},
    {TAPE_DRIVE_ABS_BLK_IMMED, "Absolute block immediate move"},
    {TAPE_DRIVE_ABSOLUTE_BLK, "Move absolute block"},
    {TAPE_DRIVE_END_OF_DATA, "Move end of data"},
    {TAPE_DRIVE_FILEMARKS, "Move by file marks"},
    {TAPE_DRIVE_LOAD_UNLOAD, "Load and unload"},
    {TAPE_DRIVE_LOAD_UNLD_IMMED, "Load and unload immediate"},
    {TAPE_DRIVE_LOCK_UNLOCK, "Lock and unlock"},
    {TAPE_DRIVE_LOCK_UNLK_IMMED, "Lock and unlock immediate"},
    {TAPE_DRIVE_LOGICAL_BLK, "Logical block move"},
    {TAPE_DRIVE_LOG_BLK_IMMED, "Logical block move immediate"},
    {TAPE_DRIVE_RELATIVE_BLKS, "Move relative blocks"},
    {TAPE_DRIVE_REVERSE_POSITION, "Reverse position"},
    {TAPE_DRIVE_REWIND_IMMEDIATE, "Reverse position immediate"},
    {TAPE_DRIVE_SEQUENTIAL_FMKS, "Sequential file marks"},
    {TAPE_DRIVE_SEQUENTIAL_SMKS, "Sequential set marks"},
    {TAPE_DRIVE_SET_BLOCK_SIZE, "Set block size"},
    {TAPE_DRIVE_SET_COMPRESSION, "Set compression"},
    {TAPE_DRIVE_SET_ECC, "Set error correction"},
    {TAPE_DRIVE_SET_PADDING, "Set data padding"},
    {TAPE_DRIVE_SET_REPORT_SMKS, "Set report set marks"},
    {TAPE_DRIVE_SETMARKS, "Set set marks"},
    {TAPE_DRIVE_SPACE_IMMEDIATE, "Immediate spacing"},
    {TAPE_DRIVE_TENSION, "Tensioning"},
    {TAPE_DRIVE_TENSION_IMMED, "Tensioning immediate"},
    {TAPE_DRIVE_WRITE_FILEMARKS, "Write file marks"},
    {TAPE_DRIVE_WRITE_SHORT_FMKS, "Write short file marks"},
    {TAPE_DRIVE_WRITE_LONG_FMKS, "Write long file marks"},
    {TAPE_DRIVE_WRITE_MARK_IMMED, "Write file marks immediate"},
    // Setmark writing has a bit of its own; a drive that writes file marks
    // immediately need not write setmarks at all.
    {TAPE_DRIVE_WRITE_SETMARKS, "Write set marks"},
};

std::string Hex(DWORD word)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%lX", static_cast<unsigned long>(word));
    return text;
}

// Takes the widest unsigned type, so a capacity of 4 GiB or more is shown in
// full rather than cut to its low 32 bits.
std::string Numbered(const char* label, unsigned long long value)
{
    return label + std::to_string(value);
}

std::uint64_t Unsigned(const LARGE_INTEGER& value)
{
    return static_cast<std::uint64_t>(value.QuadPart);
}

// Some drivers leave the high word's top bit clear; every high-word value
// carries it, so it is put back before the test.
bool Reports(const TAPE_GET_DRIVE_PARAMETERS& drive, DWORD feature)
{
    if ((feature & TAPE_DRIVE_HIGH_FEATURES) == 0)
        return (drive.FeaturesLow & feature) != 0;
    const DWORD high = drive.FeaturesHigh | TAPE_DRIVE_HIGH_FEATURES;
    return (high & feature) == feature;
}

void AddSettings(const TAPE_GET_DRIVE_PARAMETERS& drive, Lines& lines)
{
    if (drive.ECC)
        lines.emplace_back("Error correction");
    if (drive.Compression)
        lines.emplace_back("Compression");
    if (drive.DataPadding)
        lines.emplace_back("Data padding");
    if (drive.ReportSetmarks)
        lines.emplace_back("Report setmarks");
    lines.push_back(Numbered("Default block size ", drive.DefaultBlockSize));
    lines.push_back(Numbered("Maximum block size ", drive.MaximumBlockSize));
    lines.push_back(Numbered("Minimum block size ", drive.MinimumBlockSize));
}

void AddNamedFeatures(const TAPE_GET_DRIVE_PARAMETERS& drive,
                      const TAPE_GET_MEDIA_PARAMETERS& media, Lines& lines)
{
    for (const SNamedFeature& feature : kNamedFeatures)
    {
        if (!Reports(drive, feature.value))
            continue;
        lines.emplace_back(feature.text);
        if (feature.value == TAPE_DRIVE_EOT_WZ_SIZE)
            lines.push_back(Numbered("EOT warning zone size ", drive.EOTWarningZoneSize));
        else if (feature.value == TAPE_DRIVE_SET_BLOCK_SIZE)
            lines.push_back(Numbered("Blocking factor ", media.BlockSize / 512));
    }
}

void AddMedia(const TAPE_GET_MEDIA_PARAMETERS& media, Lines& lines)
{
    lines.push_back(Numbered("Media total capacity ", Unsigned(media.Capacity)));
    lines.push_back(Numbered("Media remaining capacity ", Unsigned(media.Remaining)));
    lines.push_back(Numbered("Media block size ", media.BlockSize));
    lines.push_back(Numbered("Media partition count ", media.PartitionCount));
    lines.emplace_back(media.WriteProtected ? "The media is write protected"
                                            : "The media is not write protected");
}

bool LessIgnoringCase(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y)
                                        {
                                            return std::tolower(static_cast<unsigned char>(x)) <
                                                   std::tolower(static_cast<unsigned char>(y));
                                        });
}

} // namespace

CTapeFeatures::CTapeFeatures(const TAPE_GET_DRIVE_PARAMETERS& drive,
                             const TAPE_GET_MEDIA_PARAMETERS& media)
    : m_strFeaturesHigh(Hex(drive.FeaturesHigh)), m_strFeaturesLow(Hex(drive.FeaturesLow))
{
    AddSettings(drive, m_lines);
    AddNamedFeatures(drive, media, m_lines);
    AddMedia(media, m_lines);
}

std::vector<std::string> CTapeFeatures::GetSortedLines() const
{
    std::vector<std::string> sorted = m_lines;
    std::stable_sort(sorted.begin(), sorted.end(), LessIgnoringCase);
    return sorted;
}
