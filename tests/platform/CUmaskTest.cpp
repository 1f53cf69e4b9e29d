#include "platform/CUmask.h"

#include "support/CUmaskScope.h"

#include <gtest/gtest.h>

TEST(CUmaskTest, TheUmaskIsReadAsSetAndLeftAsItWas)
{
#ifdef _WIN32
    EXPECT_EQ(CUmask::Read(), 0u);
#else
    for (const unsigned mask : {022u, 027u, 0u})
    {
        const CUmaskScope scope(mask);
        EXPECT_EQ(CUmask::Read(), mask);
        EXPECT_EQ(CUmask::Read(), mask);
    }
#endif
}
