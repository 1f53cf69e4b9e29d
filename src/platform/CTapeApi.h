#pragma once
#include "platform/WinTape.h"

#include <memory>
#include <string>

// The calls the tape device makes of the system's tape interface, and nothing
// more: one drive, reached by the name given to Open. Results are the Windows
// ones: the tape calls answer a Windows status (0 for success), Open, Read and
// Write answer false and leave the Windows code as CSystemError's last error.
// Three implementations: the Windows calls, the Linux SCSI tape driver, and a
// virtual drive over a SIMH tape image (also what the tests use).
class CTapeApi
{
public:
    virtual ~CTapeApi() = default;

    // Opens the drive for reading and writing, unshared, as an existing device.
    virtual bool Open(const std::string& name) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    virtual DWORD PrepareTape(DWORD operation, bool immediate) = 0;
    // info points at the record the operation names; size is its size.
    virtual DWORD GetTapeParameters(DWORD operation, DWORD* size, void* info) = 0;
    virtual DWORD SetTapeParameters(DWORD operation, const void* info) = 0;
    virtual DWORD GetTapePosition(DWORD positionType, DWORD* partition, DWORD* offsetLow,
                                  DWORD* offsetHigh) = 0;
    virtual DWORD SetTapePosition(DWORD positionMethod, DWORD partition, DWORD offsetLow,
                                  DWORD offsetHigh, bool immediate) = 0;

    // One block. A block larger than count fails with
    // ERROR_INVALID_BLOCK_LENGTH; a file mark reads 0 bytes with
    // ERROR_FILEMARK_DETECTED, the end of the data 0 bytes with
    // ERROR_NO_DATA_DETECTED.
    virtual bool Read(void* buffer, DWORD count, DWORD& done) = 0;
    virtual bool Write(const void* buffer, DWORD count, DWORD& done) = 0;
};
