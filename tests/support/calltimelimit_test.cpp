#include "support/calltimelimit.h"

#include <gtest/gtest.h>

#include <clocale>

TEST(CallTimeLimit, PlainDecimalSecondsFromOneToADayAndNothingElse)
{
    // Whatever the locale's decimal point, the text uses ".".
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    struct Case
    {
        const char* text;
        long long milliseconds; // -1: refused
    };
    const Case cases[] = {
        {"1", 1000},       {"86400", 86400000}, {"2.5", 2500}, {"30.", 30000}, {".5e1", -1},
        {"01.0004", 1000}, {"0.9999", -1},      {"0", -1},     {"0.0001", -1}, {"86400.001", -1},
        {"86401", -1},     {"1e10", -1},        {"1e3", -1},   {"nan", -1},    {"inf", -1},
        {"-5", -1},        {"+5", -1},          {" 5", -1},    {"5 ", -1},     {"5s", -1},
        {"", -1},          {".", -1},           {"1.2.3", -1}, {"0x10", -1},   {"abc", -1},
    };
    for (const Case& c : cases) {
        std::chrono::milliseconds limit(-1);
        EXPECT_EQ(ParseCallTimeLimit(c.text, limit), c.milliseconds >= 0) << c.text;
        EXPECT_EQ(limit.count(), c.milliseconds) << c.text;
    }
    std::setlocale(LC_NUMERIC, "C");
}
