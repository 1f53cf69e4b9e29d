#include "platform/CWin32Tape.h"

#ifdef _WIN32
#include <windows.h>

namespace
{

HANDLE Handle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

CWin32Tape::~CWin32Tape()
{
    Close();
}

bool CWin32Tape::Open(const std::string& name)
{
    Close();
    // Read and write, unshared: a tape has one user at a time.
    const HANDLE tape = ::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (tape == INVALID_HANDLE_VALUE)
        return false;
    m_hTape = reinterpret_cast<std::intptr_t>(tape);
    return true;
}

void CWin32Tape::Close()
{
    if (!IsOpen())
        return;
    ::CloseHandle(Handle(m_hTape));
    m_hTape = kInvalidHandle;
}

bool CWin32Tape::IsOpen() const
{
    return m_hTape != kInvalidHandle;
}

DWORD CWin32Tape::PrepareTape(DWORD operation, bool immediate)
{
    return ::PrepareTape(Handle(m_hTape), operation, immediate);
}

DWORD CWin32Tape::GetTapeParameters(DWORD operation, DWORD* size, void* info)
{
    return ::GetTapeParameters(Handle(m_hTape), operation, size, info);
}

DWORD CWin32Tape::SetTapeParameters(DWORD operation, const void* info)
{
    // The system only reads the record, whatever its declaration says.
    return ::SetTapeParameters(Handle(m_hTape), operation, const_cast<void*>(info));
}

DWORD CWin32Tape::GetTapePosition(DWORD positionType, DWORD* partition, DWORD* offsetLow,
                                  DWORD* offsetHigh)
{
    return ::GetTapePosition(Handle(m_hTape), positionType, partition, offsetLow, offsetHigh);
}

DWORD CWin32Tape::SetTapePosition(DWORD positionMethod, DWORD partition, DWORD offsetLow,
                                  DWORD offsetHigh, bool immediate)
{
    return ::SetTapePosition(Handle(m_hTape), positionMethod, partition, offsetLow, offsetHigh,
                             immediate);
}

bool CWin32Tape::Read(void* buffer, DWORD count, DWORD& done)
{
    done = 0;
    return ::ReadFile(Handle(m_hTape), buffer, count, &done, nullptr) != FALSE;
}

bool CWin32Tape::Write(const void* buffer, DWORD count, DWORD& done)
{
    done = 0;
    return ::WriteFile(Handle(m_hTape), buffer, count, &done, nullptr) != FALSE;
}
#endif
