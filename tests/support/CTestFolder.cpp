#include "support/CTestFolder.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

CTestFolder::CTestFolder()
{
    static std::atomic<unsigned> s_counter{0};
    std::random_device seed;
    const std::string name = "vorkant-test-" + std::to_string(seed()) + "-" +
                             std::to_string(s_counter++);
    m_path = fs::temp_directory_path() / name;
    fs::create_directories(m_path);
}

CTestFolder::~CTestFolder()
{
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::string CTestFolder::WriteFile(const std::string& name, const std::string& contents) const
{
    const fs::path path = m_path / name;
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << contents;
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
    return path.string();
}

std::string CTestFolder::ReadFile(const std::string& name) const
{
    std::ifstream in(m_path / name, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}
