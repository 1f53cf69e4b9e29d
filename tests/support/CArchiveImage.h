#pragma once
#include <cstdint>
#include <string>

// The bytes of a tar archive made by hand for a test, independently of the
// engine's own header code: ustar headers with octal fields and a correct
// checksum, data padded to whole records, and whatever else a test needs
// (zero records, damaged records, members whose data is missing).
class CArchiveImage
{
public:
    static constexpr std::size_t kRecord = 512;

    CArchiveImage& File(const std::string& name, const std::string& contents, char type = '0');
    CArchiveImage& Folder(const std::string& name);
    // A link member (type '2' symbolic, '1' hard) naming target, without data.
    CArchiveImage& Link(const std::string& name, const std::string& target, char type = '2',
                        std::uint32_t mtime = 1600000000);
    // A file (or a folder, type '5', without contents) with the mode and
    // time given; kNoMode leaves the mode field empty.
    CArchiveImage& Member(const std::string& name, const std::string& contents, char type,
                          std::uint32_t mode, std::uint32_t mtime);
    // A header that declares size bytes, followed by no data at all.
    CArchiveImage& HeaderOnly(const std::string& name, std::uint64_t size, char type = '0');
    CArchiveImage& Zeros(std::size_t records);
    // One record filled with the text, repeated.
    CArchiveImage& TextRecord(const std::string& text);
    // The end marker GNU tar writes: two zero records.
    CArchiveImage& End() { return Zeros(2); }

    const std::string& Bytes() const { return m_bytes; }
    // Every pair of bytes exchanged, as some tape drives deliver an archive.
    std::string SwappedBytes() const;

    // The mode a header gets by default: 0644 for a file, 0755 for a folder.
    static constexpr std::uint32_t kTypeMode = 0xFFFFFFFF;
    static constexpr std::uint32_t kNoMode = 0xFFFFFFFE;
    static std::string Header(const std::string& name, std::uint64_t size, char type,
                              std::uint32_t mtime = 1600000000, std::uint32_t mode = kTypeMode,
                              const std::string& link = {});

private:
    std::string m_bytes;
};
