#include "automation/fontreplacements.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

// The replacements on a machine with these families, each face once.
std::map<std::string, std::string> ReplacementsWith(const std::set<std::string>& families)
{
    std::map<std::string, std::string> replaced;
    for (const FontReplacement& pair :
         FontReplacements([&](const std::string& family) { return families.count(family) > 0; }))
        EXPECT_TRUE(replaced.emplace(pair.face, pair.replacement).second)
            << pair.face << " is replaced twice";
    return replaced;
}

TEST(FontReplacements, OfficeFacesAndThemeNamesPrintInTheNearestInstalledFaces)
{
    // A machine with the clones and some fallbacks; Tahoma is installed, Liberation Mono and URW
    // Gothic are not.
    const auto clones = ReplacementsWith(
        {"Carlito", "Caladea", "Liberation Sans", "DejaVu Sans", "Noto Sans", "Tahoma"});
    // The same with Microsoft's own Calibri and URW's Avant Garde clone.
    const auto microsoft = ReplacementsWith({"Carlito", "Caladea", "Liberation Sans", "DejaVu Sans",
                                             "Noto Sans", "Calibri", "URW Gothic"});
    const struct
    {
        const char* face;
        const char* withClones; // "" where nothing replaces it
        const char* withMicrosoft;
    } cases[] = {
        {"Aptos", "Carlito", "Carlito"},
        {"Aptos Narrow", "Carlito", "Carlito"},
        {"Aptos Display", "Carlito", "Carlito"},
        {"Calibri Light", "Carlito", "Carlito"},
        {"Aptos Serif", "Caladea", "Caladea"},
        {"Aptos Mono", "", ""},
        {"Segoe UI", "Noto Sans", "Noto Sans"},
        {"Tahoma", "", "Liberation Sans"},
        {"Verdana", "DejaVu Sans", "DejaVu Sans"},
        // The first installed of its candidates.
        {"Century Gothic", "DejaVu Sans", "URW Gothic"},
        // A theme's fonts by the names Excel shows them with: as the face they name prints.
        {"Calibri (Corps)", "Carlito", "Calibri"},
        {"Calibri (Body)", "Carlito", "Calibri"},
        {"Cambria (Headings)", "Caladea", "Caladea"},
        {"Aptos Narrow (Textkörper)", "Carlito", "Carlito"},
        {"+mn-lt", "Carlito", "Calibri"},
        {"+mj-lt", "Carlito", "Calibri"},
        // Calibri itself is the office's own business.
        {"Calibri", "", ""},
    };
    for (const auto& c : cases) {
        for (const auto& [replaced, expected] :
             {std::pair{&clones, c.withClones}, std::pair{&microsoft, c.withMicrosoft}}) {
            const auto found = replaced->find(c.face);
            EXPECT_EQ(found == replaced->end() ? "" : found->second, expected)
                << c.face << (replaced == &clones ? " with the clones" : " with Microsoft's");
        }
    }
    // Nothing replaces a face by one that is missing.
    EXPECT_TRUE(ReplacementsWith({}).empty());
}

} // namespace
