#pragma once
#include "platform/CTapeApi.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The tape drives of this host by unit number, the N of "\\.\tapeN", and the
// drive behind each name. Holds nothing: every call looks again. Tape
// discovery lists the drives once at start-up; the tape device asks for the
// drive of the name it is opening, and owns what it gets.
//
// The SIMH tape images named in VORKANT_TAPE_IMAGES follow the host's drives,
// numbered on. On Windows the system knows the drives by those names and
// discovery walks the registry for them, so this list holds only the images.
// Elsewhere the SCSI tape driver's non-rewinding devices come first
// (/dev/nst0, /dev/nst1, ... up to the first missing one).
class CTapeDrives
{
public:
    struct STapeDrive
    {
        DWORD nUnit;
        // A drive's vendor and model, else "Tape Device N"; an image's path.
        std::string strDisplayName;
        // The device or image file.
        std::string strPath;
        bool bImage;
    };

    // Only the images on Windows.
    static std::vector<STapeDrive> List();
    // The drive of a name in the form "\\.\tapeN" (the prefix in any
    // capitals), unopened; nullptr for any other name, and off Windows for a
    // unit that is not listed. On Windows a unit that is no image is the
    // system's drive.
    static std::unique_ptr<CTapeApi> ForName(const std::string& name);

    // What separates the image paths: as PATH's folders on the host.
#ifdef _WIN32
    static constexpr char kImageSeparator = ';';
#else
    static constexpr char kImageSeparator = ':';
#endif
    // The images of a list, numbered from firstUnit. A missing image is
    // created as a blank tape.
    static std::vector<STapeDrive> Images(const std::string& list, DWORD firstUnit,
                                          char separator = kImageSeparator);

    // N of "\\.\tapeN", written without leading zeros.
    static std::optional<DWORD> UnitOf(const std::string& name);

#ifndef _WIN32
    // Where the drives and images are looked for: the host's, or a test's.
    struct SSources
    {
        // Holds the devices nst0, nst1, ...
        std::string strDevices;
        // Holds nstN/device/vendor and nstN/device/model for each device.
        std::string strSysfs;
        // Image paths separated like PATH's folders. A missing image is
        // created as a blank tape when the list is made.
        std::string strImages;

        // /dev, the driver's sysfs class and VORKANT_TAPE_IMAGES.
        static SSources Host();
    };

    static std::vector<STapeDrive> List(const SSources& sources);
    static std::unique_ptr<CTapeApi> ForName(const std::string& name, const SSources& sources);
#endif
};
