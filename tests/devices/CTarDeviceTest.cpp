#include "devices/CTarDevice.h"

#include <gtest/gtest.h>

TEST(CTarDeviceTest, TapeNamesAreRecognisedInAnyCaseAnywhereInTheName)
{
    EXPECT_TRUE(CTarDevice::IsTapeName("\\\\.\\tape0"));
    EXPECT_TRUE(CTarDevice::IsTapeName("C:\\dir\\\\.\\TAPE1"));
    EXPECT_TRUE(CTarDevice::IsTapeName("\\\\.\\Tape12"));
    EXPECT_FALSE(CTarDevice::IsTapeName("C:\\tape0.tar"));
    EXPECT_FALSE(CTarDevice::IsTapeName("/dev/nst0"));
    EXPECT_FALSE(CTarDevice::IsTapeName("\\.\\tape0"));
}
