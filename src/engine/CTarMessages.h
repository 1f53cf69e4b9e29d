#pragma once
#include <initializer_list>
#include <string>
#include <string_view>

class CException;
class CFileStatus;

// The texts of the problems the engine reports about single members and
// files, and the filling of their %s places.
class CTarMessages
{
public:
    static constexpr char kUnsupportedType[] = "Unable to process file [%s], of type [%s]";
    static constexpr char kLeavesDestination[] =
        "Unable to process file [%s], its path leaves the destination folder";
    static constexpr char kLinkTargetMissing[] =
        "Unable to process file [%s], the file it links to [%s] was not extracted";
    static constexpr char kDamagedHeader[] =
        "Unable to process file [%s], its extended header is damaged";
    static constexpr char kDamagedSparseMap[] =
        "Unable to process file [%s], the map of its holes is damaged";
    static constexpr char kNoMember[] =
        "Unable to process file [%s], the archive ends after this header";
    static constexpr char kArchiveEnds[] =
        "Unable to process file [%s], the archive ends before its data does";
    static constexpr char kChangedSize[] =
        "Unable to process file [%s], it changed size while it was being archived";
    static constexpr char kTapeEndsEarly[] = "The archive on the tape may now end early.";

    // Fills each %s of the format with the next argument.
    static std::string Format(std::string_view format,
                              std::initializer_list<std::string_view> args);

    // The unsupported-type text for an item on disk that is neither a
    // regular file nor a folder, named as a tar header would name its kind.
    static std::string Unsupported(const std::string& path, const CFileStatus& status);

    // An exception's text as a catcher with a buffer of 1024 characters sees it.
    static std::string MessageOf(const CException& e);

    // A failure of the file layer, naming the file; the system's text loses
    // its line break so that the message reads as one line in the log.
    static std::string FileFailure(const std::string& path, const CException& e);
};
