#include "devices/CTapeDesc.h"

#include "platform/CDosDeviceQuery.h"
#include "platform/CRegistryReader.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include "platform/CWin32DosDeviceQuery.h"
#include "platform/CWin32RegistryReader.h"
#else
#include "platform/CTapeDrives.h"
#include "support/CTestFolder.h"

#include <filesystem>
#endif

namespace
{

using Values = std::map<std::string, std::string>;

// The registry as key paths below HKEY_LOCAL_MACHINE with their string
// values. A key exists when it or a key below it was given. Counts the keys
// held open, so that a walk that keeps one is caught.
class CFakeRegistry : public CRegistryReader
{
public:
    void Set(const std::string& path, const Values& values) { m_keys[path] = values; }

    std::unique_ptr<CKey> OpenKey(const std::string& path) const override;

    mutable int m_nOpen = 0;

private:
    class CFakeKey;

    std::map<std::string, Values> m_keys;
};

class CFakeRegistry::CFakeKey : public CRegistryReader::CKey
{
public:
    CFakeKey(const CFakeRegistry& registry, std::string path, const Values& values)
        : m_registry(registry), m_strPath(std::move(path)), m_values(values)
    {
        ++m_registry.m_nOpen;
    }
    ~CFakeKey() override { --m_registry.m_nOpen; }

    std::unique_ptr<CKey> OpenSubKey(const std::string& name) const override
    {
        return m_registry.OpenKey(m_strPath + "\\" + name);
    }

    // As the system does: the text and its terminator must fit the buffer.
    std::optional<std::string> ReadString(const std::string& name,
                                          std::size_t bufferSize) const override
    {
        const auto found = m_values.find(name);
        if (found == m_values.end() || found->second.size() >= bufferSize)
            return std::nullopt;
        return found->second;
    }

private:
    const CFakeRegistry& m_registry;
    std::string m_strPath;
    Values m_values;
};

std::unique_ptr<CRegistryReader::CKey> CFakeRegistry::OpenKey(const std::string& path) const
{
    if (const auto key = m_keys.find(path); key != m_keys.end())
        return std::make_unique<CFakeKey>(*this, path, key->second);
    const std::string parent = path + "\\";
    const auto below = m_keys.lower_bound(parent);
    if (below == m_keys.end() || below->first.compare(0, parent.size(), parent) != 0)
        return nullptr;
    return std::make_unique<CFakeKey>(*this, path, Values());
}

class CFakeDevices : public CDosDeviceQuery
{
public:
    explicit CFakeDevices(std::set<std::string> names) : m_names(std::move(names)) {}

    bool Exists(const std::string& deviceName) const override
    {
        return m_names.count(deviceName) != 0;
    }

private:
    std::set<std::string> m_names;
};

std::set<std::string> Drives(int count)
{
    std::set<std::string> names;
    for (int unit = 0; unit < count; ++unit)
        names.insert("tape" + std::to_string(unit));
    return names;
}

const std::string kScsi = "HARDWARE\\DEVICEMAP\\Scsi";

std::string Bus(int port, int bus)
{
    return kScsi + "\\Scsi Port " + std::to_string(port) + "\\Scsi Bus " + std::to_string(bus);
}

std::string LogicalUnit(int port, int bus, int target, int unit)
{
    return Bus(port, bus) + "\\Target Id " + std::to_string(target) + "\\Logical Unit Id " +
           std::to_string(unit);
}

std::string TapeUnit(int unit)
{
    return "HARDWARE\\DEVICEMAP\\Tape\\Unit " + std::to_string(unit);
}

Values Tape(const std::string& identifier)
{
    return {{"Type", "TapePeripheral"}, {"Identifier", identifier}};
}

std::vector<std::string> Names(const CTapeDesc& desc)
{
    std::vector<std::string> names;
    for (int i = 0; i < desc.GetSize(); ++i)
        names.push_back(desc[i]);
    return names;
}

struct SNamingCase
{
    const char* szName;
    std::vector<std::pair<std::string, Values>> keys;
    int nDrives;
    std::vector<std::string> expected;
};

const std::string k255(255, 'a');
const std::string k256(256, 'b');

const SNamingCase kNamingCases[] = {
    {"no drive 0 hides the SCSI tapes", {{LogicalUnit(0, 0, 0, 0), Tape("X")}}, 0, {}},
    {"drives without identifiers are numbered", {}, 2, {"Tape Device 0", "Tape Device 1"}},
    {"one SCSI tape for two drives",
     {{LogicalUnit(0, 0, 0, 0), Tape("X")}},
     2,
     {"X", "Tape Device 1"}},
    {"the type is compared ignoring case",
     {{LogicalUnit(0, 0, 0, 0), {{"Type", "tapeperipheral"}, {"Identifier", "lower"}}},
      {LogicalUnit(0, 0, 0, 1), {{"Type", "TAPEPERIPHERAL"}, {"Identifier", "upper"}}}},
     2,
     {"lower", "upper"}},
    {"other peripherals and tapes without identifier are passed over",
     {{LogicalUnit(0, 0, 0, 0), {{"Type", "DiskPeripheral"}, {"Identifier", "disk"}}},
      {LogicalUnit(0, 0, 0, 1), {{"Type", "TapePeripheral"}}},
      {LogicalUnit(0, 0, 0, 2), {{"Identifier", "untyped"}}},
      {LogicalUnit(0, 0, 0, 3), Tape("tape")}},
     2,
     {"tape", "Tape Device 1"}},
    {"port, bus, target and unit order, gaps allowed up to 14",
     {{LogicalUnit(1, 0, 0, 0), Tape("port 1")},
      {LogicalUnit(0, 1, 14, 14), Tape("bus 1")},
      {LogicalUnit(0, 0, 3, 2), Tape("target 3")},
      {LogicalUnit(0, 0, 0, 7), Tape("target 0")}},
     4,
     {"target 0", "target 3", "bus 1", "port 1"}},
    {"targets and units beyond 14 are not looked at",
     {{LogicalUnit(0, 0, 15, 0), Tape("target 15")}, {LogicalUnit(0, 0, 0, 15), Tape("unit 15")}},
     1,
     {"Tape Device 0"}},
    {"a port without bus 0 gives nothing and the next port is walked",
     {{LogicalUnit(0, 1, 0, 0), Tape("bus 1")}, {LogicalUnit(1, 0, 0, 0), Tape("port 1")}},
     1,
     {"port 1"}},
    {"the buses end at the first missing one",
     {{Bus(0, 0), {}}, {LogicalUnit(0, 2, 0, 0), Tape("bus 2")}},
     1,
     {"Tape Device 0"}},
    {"the ports end at the first missing one",
     {{LogicalUnit(0, 0, 0, 0), Tape("port 0")}, {LogicalUnit(2, 0, 0, 0), Tape("port 2")}},
     2,
     {"port 0", "Tape Device 1"}},
    {"the tape unit's identifier wins and keeps the SCSI one for the next drive",
     {{TapeUnit(0), {{"Identifier", "unit 0"}}}, {LogicalUnit(0, 0, 0, 0), Tape("scsi")}},
     2,
     {"unit 0", "scsi"}},
    {"a tape unit key without identifier",
     {{TapeUnit(0), {{"Type", "x"}}}, {LogicalUnit(0, 0, 0, 0), Tape("scsi")}},
     1,
     {"scsi"}},
    {"255 bytes fit the buffer",
     {{TapeUnit(0), {{"Identifier", k255}}}, {LogicalUnit(0, 0, 0, 0), Tape(k255)}},
     2,
     {k255, k255}},
    {"256 bytes do not, and the next rule applies",
     {{TapeUnit(0), {{"Identifier", k256}}},
      {LogicalUnit(0, 0, 0, 0), Tape(k256)},
      {LogicalUnit(0, 0, 0, 1), Tape("short")}},
     2,
     {"short", "Tape Device 1"}},
};

class CTapeDescNaming : public testing::TestWithParam<SNamingCase>
{
};

TEST_P(CTapeDescNaming, NamesTheDrivesInUnitOrder)
{
    CFakeRegistry registry;
    for (const auto& [path, values] : GetParam().keys)
        registry.Set(path, values);
    const CTapeDesc desc(registry, CFakeDevices(Drives(GetParam().nDrives)));

    EXPECT_EQ(Names(desc), GetParam().expected);
    for (int i = 0; i < desc.GetSize(); ++i)
        EXPECT_EQ(desc.GetUnit(i), static_cast<DWORD>(i));
    EXPECT_EQ(registry.m_nOpen, 0);
}

// Each run of blanks and punctuation becomes one underscore.
std::string CaseName(const testing::TestParamInfo<SNamingCase>& info)
{
    std::string name;
    for (const char c : std::string(info.param.szName))
    {
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
        else if (!name.empty() && name.back() != '_')
            name += '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Discovery, CTapeDescNaming, testing::ValuesIn(kNamingCases), CaseName);

TEST(CTapeDesc, StopsAtTheFirstMissingDrive)
{
    CFakeRegistry registry;
    registry.Set(TapeUnit(2), {{"Identifier", "unit 2"}});
    const CTapeDesc desc(registry, CFakeDevices({"tape0", "tape2"}));

    ASSERT_EQ(desc.GetSize(), 1);
    EXPECT_EQ(desc.GetAt(0), "Tape Device 0");
    EXPECT_EQ(desc.GetUnit(0), 0u);
    EXPECT_EQ(desc.GetDeviceName(0), "\\\\.\\tape0");
    EXPECT_THROW(desc.GetAt(1), std::out_of_range);
}

#ifdef _WIN32
// The system's own registry and device names, through the calls discovery makes.
TEST(CTapeDescOnWindows, ReadsTheSystemRegistry)
{
    const CWin32RegistryReader registry;
    EXPECT_EQ(registry.OpenKey("HARDWARE\\DEVICEMAP\\No Such Key"), nullptr);
    const auto system = registry.OpenKey("HARDWARE\\DESCRIPTION\\System");
    ASSERT_NE(system, nullptr);
    const auto processor = system->OpenSubKey("CentralProcessor");
    ASSERT_NE(processor, nullptr);
    const auto first = processor->OpenSubKey("0");
    ASSERT_NE(first, nullptr);

    const auto identifier = first->ReadString("Identifier", 256);
    ASSERT_TRUE(identifier.has_value());
    EXPECT_FALSE(identifier->empty());
    EXPECT_EQ(first->ReadString("Identifier", identifier->size() + 1), identifier);
    EXPECT_EQ(first->ReadString("Identifier", identifier->size()), std::nullopt);
    EXPECT_EQ(first->ReadString("No Such Value", 256), std::nullopt);
}

TEST(CTapeDescOnWindows, AsksForDeviceNames)
{
    const CWin32DosDeviceQuery devices;
    EXPECT_TRUE(devices.Exists("C:"));
    EXPECT_FALSE(devices.Exists("tape4095"));
}

TEST(CTapeDescOnWindows, TheDefaultWalksTheSystemsDeviceMap)
{
    const CTapeDesc desc;
    for (int i = 0; i < desc.GetSize(); ++i)
        EXPECT_EQ(desc.GetUnit(i), static_cast<DWORD>(i));
}
#else
// Sets an environment variable for one test and puts back what was there.
class CScopedEnvironment
{
public:
    CScopedEnvironment(const char* name, const std::string& value) : m_szName(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~CScopedEnvironment()
    {
        if (m_old)
            ::setenv(m_szName, m_old->c_str(), 1);
        else
            ::unsetenv(m_szName);
    }
    CScopedEnvironment(const CScopedEnvironment&) = delete;
    CScopedEnvironment& operator=(const CScopedEnvironment&) = delete;

private:
    const char* m_szName;
    std::optional<std::string> m_old;
};

TEST(CTapeDesc, TheDefaultListsTheDrivesAndThenTheTapeImages)
{
    const CTestFolder folder;
    const std::string first = folder / "first.tap";
    const std::string second = folder / "second.tap";
    const CScopedEnvironment images("VORKANT_TAPE_IMAGES", first + ":" + second);

    const CTapeDesc desc;

    EXPECT_TRUE(std::filesystem::exists(first));
    EXPECT_TRUE(std::filesystem::exists(second));
    const std::vector<CTapeDrives::STapeDrive> drives = CTapeDrives::List();
    ASSERT_EQ(desc.GetSize(), static_cast<int>(drives.size()));
    ASSERT_GE(drives.size(), 2u);
    EXPECT_EQ(drives[drives.size() - 2].strPath, first);
    EXPECT_EQ(drives.back().strPath, second);
    for (int i = 0; i < desc.GetSize(); ++i)
    {
        const CTapeDrives::STapeDrive& drive = drives[static_cast<std::size_t>(i)];
        EXPECT_EQ(desc[i], drive.strDisplayName);
        EXPECT_EQ(desc.GetUnit(i), drive.nUnit);
        EXPECT_EQ(desc.GetDeviceName(i), "\\\\.\\tape" + std::to_string(drive.nUnit));
    }
}
#endif

} // namespace
