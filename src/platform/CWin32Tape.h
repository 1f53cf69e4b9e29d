#pragma once
#include "platform/CTapeApi.h"

#ifdef _WIN32
#include <cstdint>

// A tape drive through the Windows tape calls, which already speak the
// interface: each call goes to the system as it is, and a failure leaves the
// system's own last error. Whoever makes the object owns the open drive; the
// destructor closes it.
class CWin32Tape : public CTapeApi
{
public:
    CWin32Tape() = default;
    ~CWin32Tape() override;
    CWin32Tape(const CWin32Tape&) = delete;
    CWin32Tape& operator=(const CWin32Tape&) = delete;

    // The name goes to the system exactly as given.
    bool Open(const std::string& name) override;
    void Close() override;
    bool IsOpen() const override;

    DWORD PrepareTape(DWORD operation, bool immediate) override;
    DWORD GetTapeParameters(DWORD operation, DWORD* size, void* info) override;
    DWORD SetTapeParameters(DWORD operation, const void* info) override;
    DWORD GetTapePosition(DWORD positionType, DWORD* partition, DWORD* offsetLow,
                          DWORD* offsetHigh) override;
    DWORD SetTapePosition(DWORD positionMethod, DWORD partition, DWORD offsetLow, DWORD offsetHigh,
                          bool immediate) override;

    bool Read(void* buffer, DWORD count, DWORD& done) override;
    bool Write(const void* buffer, DWORD count, DWORD& done) override;

private:
    // A Windows handle kept without the Windows headers; -1 is the invalid one.
    static constexpr std::intptr_t kInvalidHandle = -1;

    std::intptr_t m_hTape = kInvalidHandle;
};
#endif
