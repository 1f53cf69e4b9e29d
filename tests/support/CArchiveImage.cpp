#include "support/CArchiveImage.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace
{

void PutOctal(std::string& record, std::size_t offset, std::size_t width, std::uint64_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%0*llo", static_cast<int>(width - 1),
                  static_cast<unsigned long long>(value));
    record.replace(offset, width - 1, text, width - 1);
}

// Octal where the field holds it, else base-256 (big-endian behind the
// 0x80 flag), as GNU tar writes sizes of 8 GiB and more.
void PutNumber(std::string& record, std::size_t offset, std::size_t width, std::uint64_t value)
{
    if (value < (std::uint64_t{1} << (3 * (width - 1))))
        return PutOctal(record, offset, width, value);
    record[offset] = static_cast<char>(0x80);
    for (std::size_t i = width - 1; i > 0; --i, value >>= 8)
        record[offset + i] = static_cast<char>(value & 0xFF);
}

} // namespace

std::string CArchiveImage::Header(const std::string& name, std::uint64_t size, char type,
                                  std::uint32_t mtime, std::uint32_t mode, const std::string& link)
{
    std::string record(kRecord, '\0');
    record.replace(0, std::min<std::size_t>(name.size(), 100), name, 0, 100);
    record.replace(157, std::min<std::size_t>(link.size(), 100), link, 0, 100);
    if (mode == kTypeMode)
        mode = type == '5' ? 0755 : 0644;
    if (mode != kNoMode)
        PutOctal(record, 100, 8, mode);
    PutOctal(record, 108, 8, 1000);
    PutOctal(record, 116, 8, 1000);
    PutNumber(record, 124, 12, size);
    PutOctal(record, 136, 12, mtime);
    record[156] = type;
    record.replace(257, 6, "ustar\0", 6);
    record.replace(263, 2, "00", 2);
    record.replace(148, 8, 8, ' ');
    unsigned sum = 0;
    for (unsigned char c : record)
        sum += c;
    char checksum[8];
    std::snprintf(checksum, sizeof checksum, "%06o", sum);
    record.replace(148, 7, checksum, 7);
    return record;
}

CArchiveImage& CArchiveImage::File(const std::string& name, const std::string& contents, char type)
{
    return Member(name, contents, type, kTypeMode, 1600000000);
}

CArchiveImage& CArchiveImage::Member(const std::string& name, const std::string& contents,
                                     char type, std::uint32_t mode, std::uint32_t mtime)
{
    m_bytes += Header(name, contents.size(), type, mtime, mode);
    m_bytes += contents;
    m_bytes.append((kRecord - contents.size() % kRecord) % kRecord, '\0');
    return *this;
}

CArchiveImage& CArchiveImage::Link(const std::string& name, const std::string& target, char type,
                                   std::uint32_t mtime)
{
    m_bytes += Header(name, 0, type, mtime, 0777, target);
    return *this;
}

CArchiveImage& CArchiveImage::Folder(const std::string& name)
{
    m_bytes += Header(name, 0, '5');
    return *this;
}

CArchiveImage& CArchiveImage::HeaderOnly(const std::string& name, std::uint64_t size, char type)
{
    m_bytes += Header(name, size, type);
    return *this;
}

CArchiveImage& CArchiveImage::Zeros(std::size_t records)
{
    m_bytes.append(records * kRecord, '\0');
    return *this;
}

CArchiveImage& CArchiveImage::TextRecord(const std::string& text)
{
    // Text fills the whole record, so it cannot pass for an old-style header.
    std::string record;
    while (record.size() < kRecord)
        record += text;
    m_bytes += record.substr(0, kRecord);
    return *this;
}

std::string CArchiveImage::SwappedBytes() const
{
    std::string swapped = m_bytes;
    for (std::size_t i = 0; i + 1 < swapped.size(); i += 2)
        std::swap(swapped[i], swapped[i + 1]);
    return swapped;
}
