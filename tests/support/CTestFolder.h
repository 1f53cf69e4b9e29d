#pragma once
#include <filesystem>
#include <string>

// A fresh, empty folder under the system's temporary folder for one test
// case; removed with everything in it when the object goes.
class CTestFolder
{
public:
    CTestFolder();
    ~CTestFolder();
    CTestFolder(const CTestFolder&) = delete;
    CTestFolder& operator=(const CTestFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The path of a name inside the folder, in native form.
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }

    // Writes a file inside the folder (creating its parent folders) and
    // returns its path.
    std::string WriteFile(const std::string& name, const std::string& contents) const;
    std::string ReadFile(const std::string& name) const;

private:
    std::filesystem::path m_path;
};
