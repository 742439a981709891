#include "common/strictskips.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const StrictSkipPrinter* strict = StrictSkipPrinter::Install();
    const int result = RUN_ALL_TESTS();
    return result != 0 || strict->Unexpected() > 0 ? 1 : 0;
}
