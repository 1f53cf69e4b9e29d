#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

// A folder that takes only so many bytes before writing fails, for tests of
// what a full disk leaves behind. Where the tests may mount a file system
// (as root on Linux) it is a tmpfs of that size, which fails as a full disk
// does; otherwise a plain folder, and Run holds the process to files of that
// size while its call lasts, a fault of the same kind at the device's level.
class CSmallDisk
{
public:
    CSmallDisk(std::filesystem::path folder, std::uint64_t bytes);
    ~CSmallDisk();
    CSmallDisk(const CSmallDisk&) = delete;
    CSmallDisk& operator=(const CSmallDisk&) = delete;

    const std::filesystem::path& Path() const { return m_folder; }
    std::string operator/(const std::string& name) const { return (m_folder / name).string(); }

    // False, with nothing run, where neither kind of limit exists (Windows):
    // the caller skips.
    bool Run(const std::function<void()>& call) const;

private:
    std::filesystem::path m_folder;
    std::uint64_t m_nBytes;
    bool m_bMounted = false;
};
