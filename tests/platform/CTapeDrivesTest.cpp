#include "platform/CTapeDrives.h"

#include "platform/CSystemError.h"
#include "platform/HostTestSupport.h"
#include "support/CTestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#ifndef _WIN32
#include "platform/CLinuxTape.h"
#include "platform/CSimhTape.h"
#endif

namespace
{

std::vector<DWORD> Units(const std::vector<CTapeDrives::STapeDrive>& drives)
{
    std::vector<DWORD> units;
    for (const CTapeDrives::STapeDrive& drive : drives)
        units.push_back(drive.nUnit);
    return units;
}

#ifndef _WIN32
// A folder standing in for /dev and the driver's sysfs class. The devices
// are plain files: only whether they exist is looked at.
class CFakeHost
{
public:
    void AddDevice(int unit) const { m_folder.WriteFile("dev/nst" + std::to_string(unit), ""); }

    void AddIdentity(int unit, const std::string& vendor, const std::string& model) const
    {
        const std::string device = "sys/nst" + std::to_string(unit) + "/device/";
        if (!vendor.empty())
            m_folder.WriteFile(device + "vendor", vendor);
        if (!model.empty())
            m_folder.WriteFile(device + "model", model);
    }

    CTapeDrives::SSources Sources(const std::string& images = "") const
    {
        return {m_folder / "dev", m_folder / "sys", images};
    }

    const CTestFolder& Folder() const { return m_folder; }

private:
    CTestFolder m_folder;
};
#endif

} // namespace

TEST(CTapeDrives, AUnitIsNamedByTheTapePrefixInAnyCapitals)
{
    const struct
    {
        const char* name;
        std::optional<DWORD> unit;
    } cases[] = {
        {"\\\\.\\tape0", 0},
        {"\\\\.\\TAPE1", 1},
        {"\\\\.\\Tape12", 12},
        {"\\\\.\\tape4294967295", 4294967295u},
        {"\\\\.\\tape", std::nullopt},
        {"\\\\.\\tape01", std::nullopt},
        {"\\\\.\\tape1x", std::nullopt},
        {"\\\\.\\tape-1", std::nullopt},
        {"\\\\.\\tape 1", std::nullopt},
        {"\\\\.\\tape4294967296", std::nullopt},
        {"tape0", std::nullopt},
        {"\\\\.\\PhysicalDrive0", std::nullopt},
        {"/dev/nst0", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CTapeDrives::UnitOf(c.name), c.unit) << c.name;
}

TEST(CTapeDrives, OpeningADriveThatDoesNotExistGivesTheSystemsError)
{
#ifndef _WIN32
    GTEST_SKIP() << "only Windows hands every tape name to the system; the Linux case is "
                    "DriveWhoseDeviceHasGoneFailsToOpenWithTheSystemsError";
#else
    const std::unique_ptr<CTapeApi> tape = CTapeDrives::ForName("\\\\.\\TAPE97");
    ASSERT_NE(tape, nullptr);
    EXPECT_FALSE(tape->Open("\\\\.\\TAPE97"));
    const DWORD code = CSystemError::GetLast();
    EXPECT_EQ(code, ERROR_FILE_NOT_FOUND);
    std::string text;
    EXPECT_TRUE(CSystemError::LookupText(code, text));
    EXPECT_EQ(text, SystemText(code));
    EXPECT_FALSE(tape->IsOpen());
#endif
}

// Windows paths hold a colon after the drive letter: there a semicolon
// separates the images, as it separates PATH's folders.
TEST(CTapeDrives, AnImageListSplitsAtItsSeparatorAndNumbersTheImagesOn)
{
    const CTestFolder folder;
    const std::string first = NativePath(folder, "first.tap");
    const std::string second = NativePath(folder, "second.tap");

    const std::vector<CTapeDrives::STapeDrive> images =
        CTapeDrives::Images(";" + first + ";;" + second + ";", 3, ';');

    ASSERT_EQ(Units(images), (std::vector<DWORD>{3, 4}));
    EXPECT_EQ(images[0].strPath, first);
    EXPECT_EQ(images[0].strDisplayName, first);
    EXPECT_EQ(images[1].strPath, second);
    EXPECT_TRUE(images[1].bImage);
    EXPECT_TRUE(std::filesystem::exists(second)) << "a missing image is made blank";
}

TEST(CTapeDrives, OnWindowsTheRegistryListsTheDrivesAndEveryTapeNameHasOne)
{
#ifndef _WIN32
    GTEST_SKIP() << "the drives of other hosts are listed here";
#else
    EXPECT_TRUE(CTapeDrives::List().empty());
    EXPECT_NE(CTapeDrives::ForName("\\\\.\\tape0"), nullptr);
    EXPECT_EQ(CTapeDrives::ForName("\\\\.\\tape01"), nullptr);
    EXPECT_EQ(CTapeDrives::ForName("C:\\archive.tar"), nullptr);
#endif
}

#ifndef _WIN32
TEST(CTapeDrives, NoDrivesAndNoImagesListNothing)
{
    const CFakeHost host;
    EXPECT_TRUE(CTapeDrives::List(host.Sources()).empty());
    EXPECT_TRUE(CTapeDrives::List(host.Sources(":")).empty());
    EXPECT_EQ(CTapeDrives::ForName("\\\\.\\tape0", host.Sources()), nullptr);
}

TEST(CTapeDrives, DrivesAreListedUpToTheFirstMissingDeviceWithTheirVendorAndModel)
{
    const CFakeHost host;
    for (const int unit : {0, 1, 2, 4})
        host.AddDevice(unit);
    // The SCSI layer pads both with blanks.
    host.AddIdentity(0, "HP      \n", "Ultrium 3-SCSI  \n");
    host.AddIdentity(1, "", "  DDS4\n");
    host.AddIdentity(2, " \n", "\n");

    const std::vector<CTapeDrives::STapeDrive> drives = CTapeDrives::List(host.Sources());

    ASSERT_EQ(Units(drives), (std::vector<DWORD>{0, 1, 2}));
    EXPECT_EQ(drives[0].strDisplayName, "HP Ultrium 3-SCSI");
    EXPECT_EQ(drives[1].strDisplayName, "DDS4");
    EXPECT_EQ(drives[2].strDisplayName, "Tape Device 2");
    for (const CTapeDrives::STapeDrive& drive : drives)
    {
        EXPECT_EQ(drive.strPath, host.Folder() / ("dev/nst" + std::to_string(drive.nUnit)));
        EXPECT_FALSE(drive.bImage);
    }
}

TEST(CTapeDrives, ImagesAreNumberedAfterTheDrives)
{
    const CFakeHost host;
    host.AddDevice(0);
    host.AddDevice(1);
    const std::string first = host.Folder().WriteFile("first.tap", "");
    const std::string second = host.Folder().WriteFile("second.tap", "");

    // An empty entry of the list names nothing.
    const std::vector<CTapeDrives::STapeDrive> drives =
        CTapeDrives::List(host.Sources(first + "::" + second + ":"));

    ASSERT_EQ(Units(drives), (std::vector<DWORD>{0, 1, 2, 3}));
    EXPECT_EQ(drives[2].strPath, first);
    EXPECT_EQ(drives[2].strDisplayName, first);
    EXPECT_TRUE(drives[2].bImage);
    EXPECT_EQ(drives[3].strPath, second);
    EXPECT_TRUE(drives[3].bImage);
}

TEST(CTapeDrives, AMissingImageIsCreatedBlankAndAnExistingOneKept)
{
    const CFakeHost host;
    const std::string kept = host.Folder().WriteFile("kept.tap", "recorded");
    const std::string missing = host.Folder() / "missing.tap";
    const std::string unmakeable = host.Folder() / "no such folder/tape.tap";

    const std::vector<CTapeDrives::STapeDrive> drives =
        CTapeDrives::List(host.Sources(kept + ":" + missing + ":" + unmakeable));

    EXPECT_EQ(host.Folder().ReadFile("kept.tap"), "recorded");
    ASSERT_TRUE(std::filesystem::exists(missing));
    EXPECT_EQ(std::filesystem::file_size(missing), 0u);
    // Listed all the same: opening it says why it is not there.
    ASSERT_EQ(drives.size(), 3u);
    EXPECT_EQ(drives[2].strPath, unmakeable);
}

TEST(CTapeDrives, ANameGivesTheDriveOrImageOfItsUnit)
{
    const CFakeHost host;
    host.AddDevice(0);
    host.AddDevice(1);
    const CTapeDrives::SSources sources = host.Sources(host.Folder() / "virtual.tap");

    EXPECT_NE(dynamic_cast<CLinuxTape*>(CTapeDrives::ForName("\\\\.\\tape0", sources).get()),
              nullptr);
    EXPECT_NE(dynamic_cast<CLinuxTape*>(CTapeDrives::ForName("\\\\.\\TAPE1", sources).get()),
              nullptr);
    EXPECT_NE(dynamic_cast<CSimhTape*>(CTapeDrives::ForName("\\\\.\\Tape2", sources).get()),
              nullptr);
    EXPECT_EQ(CTapeDrives::ForName("\\\\.\\tape3", sources), nullptr);
    EXPECT_EQ(CTapeDrives::ForName("\\\\.\\tape01", sources), nullptr);
    EXPECT_EQ(CTapeDrives::ForName(host.Folder() / "dev/nst0", sources), nullptr);
}
#endif

TEST(CTapeDrives, DriveWhoseDeviceHasGoneFailsToOpenWithTheSystemsError)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows drives are not listed by device files; the Windows case is "
                    "OpeningADriveThatDoesNotExistGivesTheSystemsError";
#else
    const CFakeHost host;
    host.AddDevice(0);
    const std::unique_ptr<CTapeApi> tape = CTapeDrives::ForName("\\\\.\\tape0", host.Sources());
    ASSERT_NE(tape, nullptr);
    std::filesystem::remove(host.Folder() / "dev/nst0");

    EXPECT_FALSE(tape->Open("\\\\.\\tape0"));
    const DWORD code = CSystemError::GetLast();
    EXPECT_EQ(code, ERROR_FILE_NOT_FOUND);
    std::string text;
    EXPECT_TRUE(CSystemError::LookupText(code, text));
    EXPECT_EQ(text, "The system cannot find the file specified.\r\n");
    EXPECT_FALSE(tape->IsOpen());
#endif
}
