#include "document/CAppendOverwrite.h"

#include "document/CScriptedFrontEnd.h"

#include <gtest/gtest.h>

namespace
{

struct SCodeCase
{
    int nCode;
    bool bProceed;
    bool bAppend;
};

class CAppendOverwriteTest : public ::testing::TestWithParam<SCodeCase>
{
};

TEST_P(CAppendOverwriteTest, EndCodeDecidesWhetherAndHowToWrite)
{
    const SCodeCase& c = GetParam();
    CScriptedFrontEnd frontEnd;
    frontEnd.QueueAnswer(c.nCode);

    const CAppendOverwrite::SChoice choice = CAppendOverwrite::Ask(frontEnd);

    EXPECT_EQ(choice.bProceed, c.bProceed);
    if (c.bProceed)
    {
        EXPECT_EQ(choice.bAppend, c.bAppend);
    }
    const auto boxes = frontEnd.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].nKind, CScriptedFrontEnd::BOX_APPEND_OVERWRITE);
}

// An answer that is neither button must not let the tape be overwritten.
INSTANTIATE_TEST_SUITE_P(Codes, CAppendOverwriteTest,
                         ::testing::Values(SCodeCase{CAppendOverwrite::AO_APPEND, true, true},
                                           SCodeCase{CAppendOverwrite::AO_OVERWRITE, true, false},
                                           SCodeCase{CAppendOverwrite::AO_CANCEL, false, false},
                                           SCodeCase{0, false, false},
                                           SCodeCase{IDYES, false, false},
                                           SCodeCase{1064, false, false}));

} // namespace
