#include "support/calltimelimit.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <sstream>

bool ParseCallTimeLimit(const std::string& seconds, std::chrono::milliseconds& limit)
{
    int digits = 0, points = 0;
    for (const char c : seconds) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.')
            ++points;
        else
            return false;
    }
    if (digits == 0 || points > 1)
        return false;
    // The text always uses "." whatever the locale's decimal point is.
    std::istringstream text(seconds);
    text.imbue(std::locale::classic());
    double value = 0;
    text >> value;
    if (!text || !(value >= MinCallSeconds && value <= MaxCallSeconds))
        return false;
    limit = std::chrono::milliseconds(std::llround(value * 1000));
    return true;
}

std::chrono::milliseconds CallTimeLimitOfEnvironment()
{
    std::chrono::milliseconds limit(static_cast<long long>(DefaultCallSeconds * 1000));
    const char* setting = std::getenv("QUILLSHEET_CALL_TIMEOUT");
    if (setting && !ParseCallTimeLimit(setting, limit))
        std::fprintf(
            stderr,
            "QUILLSHEET_CALL_TIMEOUT is not a number of seconds from %g to %g; using %g s\n",
            MinCallSeconds, MaxCallSeconds, DefaultCallSeconds);
    return limit;
}
