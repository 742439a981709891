#include "support/regionpaper.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>

namespace {

// The regions whose locales print on Letter: glibc's LC_PAPER (height 279 mm: en_US, en_CA,
// fr_CA, es_MX, es_BO, en_PH, ...) together with Unicode CLDR's US-Letter territories, which
// add Belize.
const char* const LetterRegions[] = {"BO", "BZ", "CA", "CL", "CO", "CR", "GT", "MX",
                                     "NI", "PA", "PH", "PR", "SV", "US", "VE"};

// "es_MX.UTF-8", "en_US@euro": the region, "MX", "US"; empty without one.
std::string Region(const std::string& locale)
{
    const std::string plain = locale.substr(0, locale.find_first_of(".@"));
    const std::size_t underscore = plain.find('_');
    return underscore == std::string::npos ? std::string() : plain.substr(underscore + 1);
}

} // namespace

Paper RegionPaper(const char* lcAll, const char* lcPaper, const char* lang)
{
    for (const char* setting : {lcAll, lcPaper, lang}) {
        if (!setting || !*setting)
            continue;
        const std::string region = Region(setting);
        return std::find(std::begin(LetterRegions), std::end(LetterRegions), region) !=
                       std::end(LetterRegions)
                   ? Paper::Letter
                   : Paper::A4;
    }
    return Paper::A4;
}

Paper UserRegionPaper()
{
    return RegionPaper(std::getenv("LC_ALL"), std::getenv("LC_PAPER"), std::getenv("LANG"));
}
