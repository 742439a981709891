#include "support/regionpaper.h"

#include <gtest/gtest.h>

namespace {

struct Environment
{
    const char* lcAll;
    const char* lcPaper;
    const char* lang;
    Paper paper;
};

TEST(RegionPaper, LetterWhereTheRegionUsesItA4ElsewhereInPosixOrder)
{
    const Environment cases[] = {
        {nullptr, nullptr, "en_US.UTF-8", Paper::Letter},
        {nullptr, nullptr, "fr_CA.UTF-8", Paper::Letter},
        {nullptr, nullptr, "es_MX", Paper::Letter},
        {nullptr, nullptr, "fil_PH.UTF-8", Paper::Letter},
        {nullptr, nullptr, "es_CL.UTF-8@euro", Paper::Letter},
        {nullptr, nullptr, "en_GB.UTF-8", Paper::A4},
        {nullptr, nullptr, "zh_CN.UTF-8", Paper::A4},
        {nullptr, nullptr, "de_DE.UTF-8", Paper::A4},
        {nullptr, nullptr, "es_ES.UTF-8", Paper::A4},
        // No region: the C locale's paper.
        {nullptr, nullptr, "C.UTF-8", Paper::A4},
        {nullptr, nullptr, "POSIX", Paper::A4},
        {nullptr, nullptr, "en", Paper::A4},
        {nullptr, nullptr, nullptr, Paper::A4},
        // LC_PAPER before LANG, LC_ALL before both; an empty one counts as unset.
        {nullptr, "en_US.UTF-8", "de_DE.UTF-8", Paper::Letter},
        {nullptr, "en_GB.UTF-8", "en_US.UTF-8", Paper::A4},
        {"de_DE.UTF-8", "en_US.UTF-8", "en_US.UTF-8", Paper::A4},
        {"en_US.UTF-8", "de_DE.UTF-8", nullptr, Paper::Letter},
        {"", "", "en_CA.UTF-8", Paper::Letter},
        {"C", "en_US.UTF-8", nullptr, Paper::A4},
    };
    for (const Environment& e : cases)
        EXPECT_EQ(RegionPaper(e.lcAll, e.lcPaper, e.lang), e.paper)
            << (e.lcAll ? e.lcAll : "-") << " " << (e.lcPaper ? e.lcPaper : "-") << " "
            << (e.lang ? e.lang : "-");
}

} // namespace
