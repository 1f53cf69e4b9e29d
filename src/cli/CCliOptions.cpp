#include "cli/CCliOptions.h"

#include "devices/CTarDevice.h"
#include "settings/CAppSettings.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace
{
constexpr int kMaxBlockingFactor = 10240;
constexpr int kMaxTerminatingRecords = 32767;
// The highest level of any kind; a kind with fewer levels takes its highest.
constexpr int kMaxLevel = 19;
constexpr const char* kTapePrefix = "tape:";

const std::map<std::string, CCliOptions::ECommand>& Commands()
{
    static const std::map<std::string, CCliOptions::ECommand> commands{
        {"list", CCliOptions::CMD_LIST},       {"extract", CCliOptions::CMD_EXTRACT},
        {"create", CCliOptions::CMD_CREATE},   {"append", CCliOptions::CMD_APPEND},
        {"erase", CCliOptions::CMD_ERASE},     {"tapes", CCliOptions::CMD_TAPES},
        {"tape-info", CCliOptions::CMD_TAPE_INFO}, {"eject", CCliOptions::CMD_EJECT},
        {"help", CCliOptions::CMD_HELP},       {"--help", CCliOptions::CMD_HELP},
        {"-h", CCliOptions::CMD_HELP},
    };
    return commands;
}

// Switches that set one setting to 0 or 1.
struct SSwitch
{
    const char* name;
    std::optional<int> CCliOptions::*field;
    int value;
};

bool ReadNumber(const std::string& text, long long& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && !text.empty();
}
} // namespace

bool CCliOptions::Fail(const std::string& text)
{
    m_strError = text;
    return false;
}

bool CCliOptions::Parse(const std::vector<std::string>& args)
{
    *this = CCliOptions();
    if (args.empty())
        return Fail("no command given");
    if (!ParseCommand(args[0]))
        return false;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--")
            optionsEnded = true;
        else if (!optionsEnded && arg.size() > 1 && arg[0] == '-')
        {
            if (!ParseOption(args, i))
                return false;
        }
        else if (m_strArchive.empty() && m_nCommand != CMD_TAPES && m_nCommand != CMD_HELP)
        {
            if (!CheckTapeName(arg))
                return false;
            m_strArchive = DeviceName(arg);
        }
        else
            m_operands.push_back(arg);
    }
    // Drives compress in hardware (--compression): a tape archive is never
    // compressed here, only read when it is.
    if ((m_codec || m_level) && CTarDevice::IsTapeName(m_strArchive))
        return Fail("compression is for disk archives; a tape drive compresses with --compression");
    return CheckOperands();
}

bool CCliOptions::ParseCommand(const std::string& word)
{
    const auto found = Commands().find(word);
    if (found == Commands().end())
        return Fail("unknown command '" + word + "'");
    m_nCommand = found->second;
    return true;
}

bool CCliOptions::ParseOption(const std::vector<std::string>& args, std::size_t& i)
{
    static const SSwitch switches[] = {
        {"--relative", &CCliOptions::m_relative, 1},
        {"--absolute", &CCliOptions::m_relative, 0},
        {"--index", &CCliOptions::m_index, 1},
        {"--no-index", &CCliOptions::m_index, 0},
        {"--sgi", &CCliOptions::m_sgi, 1},
        {"--variable", &CCliOptions::m_variable, 1},
        {"--compression", &CCliOptions::m_compression, 1},
        {"--own-permissions", &CCliOptions::m_ownPermissions, 1},
        {"--fixed-permissions", &CCliOptions::m_ownPermissions, 0},
        {"--sparse", &CCliOptions::m_sparse, 1},
        {"--no-sparse", &CCliOptions::m_sparse, 0},
        {"-z", &CCliOptions::m_codec, static_cast<int>(ECodecKind::Gzip)},
        {"--gzip", &CCliOptions::m_codec, static_cast<int>(ECodecKind::Gzip)},
        {"-j", &CCliOptions::m_codec, static_cast<int>(ECodecKind::Bzip2)},
        {"--bzip2", &CCliOptions::m_codec, static_cast<int>(ECodecKind::Bzip2)},
        {"-J", &CCliOptions::m_codec, static_cast<int>(ECodecKind::Xz)},
        {"--xz", &CCliOptions::m_codec, static_cast<int>(ECodecKind::Xz)},
        {"--zstd", &CCliOptions::m_codec, static_cast<int>(ECodecKind::Zstd)},
    };
    const std::string& arg = args[i];
    for (const SSwitch& option : switches)
    {
        if (arg == option.name)
        {
            this->*option.field = option.value;
            return true;
        }
    }
    if (arg == "-v" || arg == "--verbose")
        m_bVerbose = true;
    else if (arg == "-h" || arg == "--help")
        m_nCommand = CMD_HELP;
    else if (arg == "-C")
        return TakeValue(args, i, m_strDestination);
    else if (arg == "--log")
        return TakeValue(args, i, m_strLogFile);
    else if (arg == "--index-name")
    {
        std::string name;
        if (!TakeValue(args, i, name))
            return false;
        m_indexName = name;
    }
    else if (arg == "--rows")
    {
        std::string rows;
        return TakeValue(args, i, rows) && ParseRows(rows);
    }
    else if (arg == "-b" || arg == "--blocking-factor")
        return TakeNumber(args, i, 1, kMaxBlockingFactor, m_blockingFactor);
    else if (arg == "--level")
        return TakeNumber(args, i, 1, kMaxLevel, m_level);
    else if (arg == "--terminating-records")
        return TakeNumber(args, i, 1, kMaxTerminatingRecords, m_terminatingRecords);
    else
        return Fail("unknown option '" + arg + "'");
    return true;
}

bool CCliOptions::TakeValue(const std::vector<std::string>& args, std::size_t& i, std::string& value)
{
    if (i + 1 >= args.size() || args[i + 1].empty())
        return Fail("option '" + args[i] + "' needs a value");
    value = args[++i];
    return true;
}

bool CCliOptions::TakeNumber(const std::vector<std::string>& args, std::size_t& i, int low, int high,
                             std::optional<int>& value)
{
    std::string text;
    if (!TakeValue(args, i, text))
        return false;
    long long number = 0;
    if (!ReadNumber(text, number) || number < low || number > high)
        return Fail("option '" + args[i - 1] + "' takes a number from " + std::to_string(low) +
                    " to " + std::to_string(high) + ", not '" + text + "'");
    value = static_cast<int>(number);
    return true;
}

// Rows are counted from 1, as the lines that list prints; the document
// counts them from 0.
bool CCliOptions::ParseRows(const std::string& text)
{
    std::size_t start = 0;
    while (start <= text.size())
    {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        long long row = 0;
        if (!ReadNumber(text.substr(start, comma - start), row) || row < 1 || row > UINT32_MAX)
            return Fail("--rows takes row numbers from 1 separated by commas, not '" + text + "'");
        m_rows.push_back(static_cast<std::uint32_t>(row - 1));
        start = comma + 1;
    }
    return true;
}

bool CCliOptions::CheckOperands()
{
    switch (m_nCommand)
    {
    case CMD_HELP:
    case CMD_TAPES:
        return m_operands.empty() ? true : Fail("unexpected argument '" + m_operands[0] + "'");
    case CMD_CREATE:
    case CMD_APPEND:
        if (m_strArchive.empty() || m_operands.empty())
            return Fail("give the archive and at least one file or folder to add");
        return true;
    case CMD_EXTRACT:
        if (!m_rows.empty() && !m_operands.empty())
            return Fail("give either --rows or patterns, not both");
        break;
    default:
        if (!m_operands.empty())
            return Fail("unexpected argument '" + m_operands[0] + "'");
        break;
    }
    return m_strArchive.empty() ? Fail("no archive given") : true;
}

void CCliOptions::ApplyTo(CAppSettings& settings) const
{
    settings.m_bRelativePaths = m_relative.value_or(settings.m_bRelativePaths);
    settings.m_bUseIndexFile = m_index.value_or(settings.m_bUseIndexFile);
    settings.m_strIndexFileName = m_indexName.value_or(settings.m_strIndexFileName);
    settings.m_tarSettings.m_bSgiFormat = m_sgi.value_or(settings.m_tarSettings.m_bSgiFormat);
    settings.m_bUseCompression = m_compression.value_or(settings.m_bUseCompression);
    settings.m_tarSettings.m_bOwnPermissions =
        m_ownPermissions.value_or(settings.m_tarSettings.m_bOwnPermissions);
    settings.m_tarSettings.m_bSparse = m_sparse.value_or(settings.m_tarSettings.m_bSparse);
    settings.m_tarSettings.m_nTerminatingRecords =
        m_terminatingRecords.value_or(settings.m_tarSettings.m_nTerminatingRecords);
    if (m_codec)
        settings.m_tarSettings.m_compression = static_cast<ECodecKind>(*m_codec);
    settings.m_tarSettings.m_nCompressionLevel =
        m_level.value_or(settings.m_tarSettings.m_nCompressionLevel);
    // A blocking factor given now means this factor, whatever was stored.
    if (m_blockingFactor)
    {
        settings.m_nBlockingFactor = *m_blockingFactor;
        settings.m_bVariableBlocking = 0;
    }
    settings.m_bVariableBlocking = m_variable.value_or(settings.m_bVariableBlocking);
}

bool CCliOptions::CheckTapeName(const std::string& archive)
{
    const std::string prefix = kTapePrefix;
    long long unit = 0;
    if (archive.compare(0, prefix.size(), prefix) == 0 &&
        (!ReadNumber(archive.substr(prefix.size()), unit) || unit < 0 || unit > UINT32_MAX))
        return Fail("'" + archive + "' is no tape drive: write tape:N with the drive's number");
    return true;
}

std::string CCliOptions::DeviceName(const std::string& archive)
{
    const std::string prefix = kTapePrefix;
    if (archive.compare(0, prefix.size(), prefix) != 0)
        return archive;
    return "\\\\.\\tape" + archive.substr(prefix.size());
}

std::string CCliOptions::HelpText()
{
    return R"(vorkant-cli: tar archives on disks and tapes, from a terminal.

Usage:
  vorkant-cli list ARCHIVE [-v]
      Prints the archive's catalogue, one member a line. With -v each line
      holds the type (- file, d folder, l symbolic link, h hard link,
      p FIFO, c character device, b block device), the size in bytes, the
      time (UTC) and the name; a symbolic link's name is followed by
      "-> TARGET", a hard link's by "link to TARGET".
        vorkant-cli list photos.tar -v
  vorkant-cli extract ARCHIVE [-C DIR] [--rows I,J,...] [PATTERN...]
      Extracts every member, the members whose whole name matches any
      PATTERN (* also crosses folders, ? and [...] as in a shell, A to Z in
      either case; on Windows / and \ are the same separator), or the rows
      that list prints (counted from 1), below DIR or the current folder.
        vorkant-cli extract photos.tar -C restored '*.jpg'
        vorkant-cli extract photos.tar --rows 1,3
  vorkant-cli create ARCHIVE PATH...
      Writes a new archive of the files and folders (folders with all they
      hold). An existing file is replaced once the new archive is whole; a
      tape is overwritten. The name chooses compression: .tar.gz or .tgz
      gzip, .tar.bz2, .tbz2 or .tbz bzip2, .tar.xz or .txz xz, .tar.zst or
      .tzst zstd, anything else none; -z, -j, -J or --zstd choose it
      whatever the name.
        vorkant-cli create photos.tar ~/Pictures/2026
        vorkant-cli create photos.tar.zst ~/Pictures/2026
  vorkant-cli append ARCHIVE PATH...
      Adds the files and folders behind what the archive holds.
        vorkant-cli append photos.tar ~/Pictures/2027
  vorkant-cli erase ARCHIVE
      Empties the archive.
  vorkant-cli tapes
      Lists the tape drives, as tape:N and a name.
  vorkant-cli tape-info ARCHIVE
      Shows what the drive holding the tape supports.
  vorkant-cli eject ARCHIVE
      Ejects the tape.

ARCHIVE is a file, or tape:N for tape drive N (\\.\tapeN).

Options (anywhere after the command; they change the stored settings for
this run only):
  --relative | --absolute   store names relative to each added item's folder,
                            or whole
  --index | --no-index      write an index file as the first member, or not
  --index-name NAME         the index member's name
  --own-permissions | --fixed-permissions
                            give each member its file's own permissions, owner
                            and group, or those the settings hold
  --sparse | --no-sparse    store the holes of sparse files as holes, or as
                            zeros
  -z, --gzip | -j, --bzip2 | -J, --xz | --zstd
                            compress a new disk archive with gzip, bzip2, xz
                            or zstd, whatever its name says (a compressed
                            archive is found by its content when read)
  --level N                 the compression level (1 to 9, zstd 1 to 19;
                            by default gzip 6, bzip2 9, xz 6, zstd 3)
  --sgi                     write tapes in the byte-swapped (SGI) layout
  -b N, --blocking-factor N records of 512 bytes per tape block (1 to 10240)
  --variable                variable block size on tape
  --compression             ask the tape drive to compress
  --terminating-records N   empty records that end a read (1 to 32767)
  --log FILE                also save the problems log to FILE at the end
  --                        what follows is no option, even if it begins with -

Virtual tapes: VORKANT_TAPE_IMAGES names SIMH tape image files, separated
like PATH (by : on Linux, by ; on Windows); they follow the real drives in
the tape list, numbered on (a missing image is made as a blank tape).
    export VORKANT_TAPE_IMAGES=$HOME/backup.tap         (Linux)
    set VORKANT_TAPE_IMAGES=%USERPROFILE%\backup.tap    (Windows)
    vorkant-cli tapes
    vorkant-cli create tape:0 ~/Documents
    vorkant-cli list tape:0 -v

Problems with single members are printed as they happen; when standard input
is a terminal (a console on Windows) you are asked whether to go on,
otherwise (a file, a pipe, /dev/null or NUL) the run goes on. Ctrl-C cancels.

Exit status: 0 done and nothing logged; 1 done but problems were logged, or
you chose not to go on; 2 the operation failed; 130 cancelled.
)";
}
