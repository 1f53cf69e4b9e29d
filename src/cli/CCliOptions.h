#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CAppSettings;

// One run of vorkant-cli as its command line asks for it: the command, the
// archive, the paths or patterns, and the settings this run changes. Options
// may stand anywhere after the command word; "--" ends them, so a pattern
// may begin with a dash. Made and owned by the terminal application.
class CCliOptions
{
public:
    enum ECommand
    {
        CMD_HELP,
        CMD_LIST,
        CMD_EXTRACT,
        CMD_CREATE,
        CMD_APPEND,
        CMD_ERASE,
        CMD_TAPES,
        CMD_TAPE_INFO,
        CMD_EJECT,
    };

    // The arguments after the program's name. False with m_strError saying
    // what is wrong.
    bool Parse(const std::vector<std::string>& args);
    // Changes the settings as the options ask, for this run only.
    void ApplyTo(CAppSettings& settings) const;

    // "tape:N" is the drive "\\.\tapeN"; any other name is left as it is.
    static std::string DeviceName(const std::string& archive);
    // What --help prints.
    static std::string HelpText();

    ECommand m_nCommand = CMD_HELP;
    std::string m_strArchive;             // as the system opens it
    std::vector<std::string> m_operands;  // paths to add, or patterns
    std::string m_strDestination;         // -C; empty: the current folder
    std::vector<std::uint32_t> m_rows;    // --rows, counted from 0; empty without it
    bool m_bVerbose = false;
    std::string m_strLogFile;
    std::string m_strError;

private:
    bool ParseCommand(const std::string& word);
    bool ParseOption(const std::vector<std::string>& args, std::size_t& i);
    bool TakeValue(const std::vector<std::string>& args, std::size_t& i, std::string& value);
    bool TakeNumber(const std::vector<std::string>& args, std::size_t& i, int low, int high,
                    std::optional<int>& value);
    bool ParseRows(const std::string& text);
    bool CheckOperands();
    bool CheckTapeName(const std::string& archive);
    bool Fail(const std::string& text);

    std::optional<int> m_relative;
    std::optional<int> m_index;
    std::optional<std::string> m_indexName;
    std::optional<int> m_sgi;
    std::optional<int> m_blockingFactor;
    std::optional<int> m_variable;
    std::optional<int> m_compression;
    std::optional<int> m_ownPermissions;
    std::optional<int> m_sparse;
    std::optional<int> m_terminatingRecords;
    std::optional<int> m_codec; // an ECodecKind
    std::optional<int> m_level;
};
