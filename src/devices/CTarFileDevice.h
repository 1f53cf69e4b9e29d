#pragma once
#include "devices/CTarDevice.h"
#include "platform/CFile.h"

#include <cstdint>
#include <string>

// An archive held in a disk file. The archive engine owns the device of an
// open archive; the device owns the open file. Every record is one 512-byte
// transfer at the file's own position, which is the only cursor: the device
// keeps no record number of its own.
class CTarFileDevice : public CTarDevice
{
public:
    CTarFileDevice() = default;
    ~CTarFileDevice() override;

    // A missing file is created empty; a file that cannot be written is
    // opened for reading alone. The blocking factor and compression mean
    // nothing to a disk file.
    void Open(const std::string& name, int blockingFactor, bool compression) override;
    void Close() override;
    bool IsOpen() const override;
    // A short or failed read leaves the position at the start of the record,
    // so that a write after it stays on a record boundary.
    bool ReadRecord(unsigned char* record) override;
    // The data records follow the size the header states, whatever the
    // contents deliver: zeros stand in for what a file that shrank no longer
    // holds, and bytes beyond that size are not read.
    void WriteEntry(const unsigned char* header, bool swapBytes, CFile* contents) override;
    void WriteEnd() override;
    bool Seek(std::int32_t records, ESeekOrigin origin) override;
    std::string GetName() const override;
    void Erase() override;
    std::uint64_t GetSize() override;

    // Writes one record at the position and tells the clients how many of
    // its bytes are member data.
    void WriteRecord(const unsigned char* record, std::int32_t payload);

private:
    void MoveTo(std::uint64_t position);

    CFile m_file;
    std::string m_strName;
};
