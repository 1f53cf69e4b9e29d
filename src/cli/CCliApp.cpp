#include "cli/CCliApp.h"

#include "cli/CTerminalFrontEnd.h"
#include "cli/CTerminalReporter.h"
#include "core/CException.h"
#include "core/CMessageLog.h"
#include "core/COsException.h"
#include "devices/CTapeDesc.h"
#include "devices/CTapeFeatures.h"
#include "document/CAppendOverwrite.h"
#include "document/CTarDoc.h"
#include "engine/CTarMessages.h"
#include "engine/CWildCard.h"
#include "engine/SFileEntry.h"
#include "platform/CConsole.h"
#include "platform/CFileStatus.h"
#include "settings/CAppSettings.h"

#include <chrono>

struct CCliApp::SRun
{
    CTerminalFrontEnd& frontEnd;
    CAppSettings& settings;
    CMessageLog& log;
    CTarDoc& doc;
    bool bFailed = false;
};

namespace
{
constexpr const char* kAllMembers = "*.*";

// "2026-12-08T19:36:37Z": the catalogue's times are UTC seconds.
std::string FormatUtc(std::int64_t seconds)
{
    using namespace std::chrono;
    const sys_seconds time{std::chrono::seconds{seconds}};
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

// The letter GNU tar's verbose listing gives each member type; a contiguous
// file is a file to everyone who reads it back.
char TypeLetter(char type)
{
    switch (type)
    {
    case '5':
        return 'd';
    case '2':
        return 'l';
    case '1':
        return 'h';
    case '6':
        return 'p';
    case '3':
        return 'c';
    case '4':
        return 'b';
    default:
        return '-';
    }
}

// What follows a link's name in a verbose line, as GNU tar writes it.
std::string LinkText(const SFileEntry& entry)
{
    const std::string target = CTerminalFrontEnd::Printable(entry.strLinkTarget);
    if (entry.chType == '2')
        return " -> " + target;
    if (entry.chType == '1')
        return " link to " + target;
    return {};
}
} // namespace

CCliApp::CCliApp(std::FILE* out, std::FILE* err, std::FILE* in) : m_out(out), m_err(err), m_in(in)
{
}

CCliApp::~CCliApp()
{
    UnadviseAll();
}

int CCliApp::Run(const std::vector<std::string>& args)
{
    if (!m_options.Parse(args))
    {
        std::fprintf(m_err, "vorkant-cli: %s\nTry 'vorkant-cli --help'.\n", m_options.m_strError.c_str());
        return EXIT_FAILED;
    }
    if (m_options.m_nCommand == CCliOptions::CMD_HELP)
    {
        std::fputs(CCliOptions::HelpText().c_str(), m_out);
        return EXIT_DONE;
    }
    if (m_options.m_nCommand == CCliOptions::CMD_TAPES)
        return ListTapes() ? EXIT_DONE : EXIT_FAILED;

    CTerminalFrontEnd::InstallInterruptHandler();
    CAppSettings settings;
    settings.Load();
    m_options.ApplyTo(settings);
    // Nobody is there to press "Finished" or to be asked about a catalogue
    // the command needs anyway.
    settings.m_bShowFinishedDialog = 0;
    settings.m_bAutoListTapes = 1;
    CTerminalFrontEnd frontEnd(m_in, m_err, CConsole::Is(m_in), CConsole::Is(m_err));
    CTerminalReporter reporter(frontEnd);
    CErrorReporter* previous = CException::SetReporter(&reporter);
    CMessageLog log;
    int status = EXIT_FAILED;
    {
        CTarDoc doc(frontEnd, settings, log);
        SRun run{frontEnd, settings, log, doc};
        m_pRun = &run;
        log.Advise(this, &CCliApp::OnLogEvent);
        status = RunCommand(run);
        log.Unadvise(this);
        m_pRun = nullptr;
    }
    CException::SetReporter(previous);
    return status;
}

int CCliApp::RunCommand(SRun& run)
{
    bool succeeded = false;
    switch (m_options.m_nCommand)
    {
    case CCliOptions::CMD_LIST:
        succeeded = List(run);
        break;
    case CCliOptions::CMD_EXTRACT:
        succeeded = Extract(run);
        break;
    case CCliOptions::CMD_CREATE:
    case CCliOptions::CMD_APPEND:
        succeeded = Save(run);
        break;
    case CCliOptions::CMD_ERASE:
        succeeded = Erase(run);
        break;
    case CCliOptions::CMD_TAPE_INFO:
        succeeded = TapeInfo(run);
        break;
    case CCliOptions::CMD_EJECT:
        succeeded = Eject(run);
        break;
    default:
        break;
    }
    if (!m_options.m_strLogFile.empty())
    {
        try
        {
            run.log.SaveToFile(m_options.m_strLogFile);
        }
        catch (const CException& e)
        {
            succeeded = Fail(run, "the log could not be saved: " + CTarMessages::MessageOf(e));
        }
    }
    return ExitStatus(run, succeeded);
}

int CCliApp::ExitStatus(SRun& run, bool succeeded) const
{
    if (CTerminalFrontEnd::WasInterrupted())
        return EXIT_CANCELLED;
    if (run.bFailed || run.frontEnd.ShowedError())
        return EXIT_FAILED;
    if (run.frontEnd.WasCancelled() || run.log.GetCount() > 0)
        return EXIT_PROBLEMS;
    return succeeded ? EXIT_DONE : EXIT_FAILED;
}

bool CCliApp::Fail(SRun& run, const std::string& text)
{
    run.frontEnd.PrintLine(text);
    run.bFailed = true;
    return false;
}

int CCliApp::OnLogEvent(void* record)
{
    const auto& event = *static_cast<const CMessageLog::SLogEvent*>(record);
    if (event.nKind == CMessageLog::LOG_EVENT_ADDED && m_pRun)
        m_pRun->frontEnd.PrintLine(m_pRun->log.GetAt(event.nIndex).m_strMessage);
    return 0;
}

// Only a command that needs the catalogue lists the archive on opening:
// listing reads all of it, which on tape takes as long as the command.
bool CCliApp::Open(SRun& run, bool needCatalogue)
{
    const std::string& path = m_options.m_strArchive;
    // The disk device makes a missing archive, which a command that reads
    // one must not leave behind after a typing slip.
    CFileStatus status;
    if (!CTarDoc::IsTapePath(path) && !CFileStatus::Get(path, status))
        return Fail(run, CTarMessages::FileFailure(path, COsException()));
    if (needCatalogue)
        return run.doc.OnOpenDocument(path);
    if (!run.doc.RunOperation(CTarDoc::OP_OPEN, &path))
        return false;
    run.doc.SetPathName(path);
    return true;
}

bool CCliApp::List(SRun& run)
{
    if (!Open(run, true))
        return false;
    PrintCatalogue(run.doc);
    return true;
}

void CCliApp::PrintCatalogue(const CTarDoc& doc) const
{
    for (int i = 0; i < doc.m_catalogue.GetCount(); ++i)
    {
        const SFileEntry* entry = doc.m_catalogue.GetAt(i);
        const std::string name = CTerminalFrontEnd::Printable(entry->strName);
        if (m_options.m_bVerbose)
            std::fprintf(m_out, "%c %llu %s %s%s\n", TypeLetter(entry->chType),
                         static_cast<unsigned long long>(entry->dwSize),
                         FormatUtc(entry->time).c_str(), name.c_str(), LinkText(*entry).c_str());
        else
            std::fprintf(m_out, "%s\n", name.c_str());
    }
    std::fflush(m_out);
}

bool CCliApp::Extract(SRun& run)
{
    const bool byRow = !m_options.m_rows.empty();
    if (!Open(run, byRow) || !CheckRows(run))
        return false;
    CWildCard specs;
    if (!byRow)
        specs.SetSpecs(m_options.m_operands.empty() ? std::vector<std::string>{kAllMembers}
                                                    : m_options.m_operands);
    run.doc.Extract(&specs, &m_options.m_rows, m_options.m_strDestination);
    return true;
}

bool CCliApp::CheckRows(SRun& run)
{
    const auto count = static_cast<std::uint32_t>(run.doc.m_catalogue.GetCount());
    for (const std::uint32_t row : m_options.m_rows)
    {
        if (row >= count)
            return Fail(run, "there is no row " + std::to_string(row + 1) + ": the archive lists " +
                                 std::to_string(count) + " members");
    }
    return true;
}

bool CCliApp::Save(SRun& run)
{
    const bool create = m_options.m_nCommand == CCliOptions::CMD_CREATE;
    run.frontEnd.SetAppendOverwriteAnswer(create ? CAppendOverwrite::AO_OVERWRITE
                                                 : CAppendOverwrite::AO_APPEND);
    // A document with a path appends to it; one without writes a new file.
    if (!create)
        run.doc.SetPathName(m_options.m_strArchive);
    run.doc.AddFiles(m_options.m_operands);
    if (run.doc.m_filesToAdd.GetCount() == 0)
        return Fail(run, "nothing to add to the archive");
    return run.doc.OnSaveDocument(m_options.m_strArchive);
}

bool CCliApp::Erase(SRun& run)
{
    return Open(run, false) && run.doc.RunOperation(CTarDoc::OP_ERASE);
}

bool CCliApp::TapeInfo(SRun& run)
{
    if (!Open(run, false))
        return false;
    TAPE_GET_DRIVE_PARAMETERS drive{};
    TAPE_GET_MEDIA_PARAMETERS media{};
    try
    {
        run.doc.GetTapeInfo(drive, media);
    }
    catch (CException& e)
    {
        e.ReportError();
        return false;
    }
    const CTapeFeatures features(drive, media);
    std::fprintf(m_out, "Features high %s\nFeatures low %s\n", features.GetFeaturesHigh().c_str(),
                 features.GetFeaturesLow().c_str());
    for (const std::string& line : features.GetSortedLines())
        std::fprintf(m_out, "%s\n", line.c_str());
    std::fflush(m_out);
    return true;
}

bool CCliApp::Eject(SRun& run)
{
    if (!Open(run, false))
        return false;
    if (!run.doc.CanEject())
        return Fail(run, "the drive of " + m_options.m_strArchive + " cannot eject its tape");
    run.doc.OnEjectTape();
    return !run.frontEnd.ShowedError();
}

bool CCliApp::ListTapes()
{
    const CTapeDesc drives;
    for (int i = 0; i < drives.GetSize(); ++i)
        std::fprintf(m_out, "tape:%lu %s\n", static_cast<unsigned long>(drives.GetUnit(i)),
                     CTerminalFrontEnd::Printable(drives[i]).c_str());
    std::fflush(m_out);
    return true;
}
